// Which item of each pair of control-menu choices is marked as the one in force (Start
// with Windows only for a shortcut that starts this very program in its settings
// directory). What the mark looks like (checked, greyed, not choosable) is seen in
// tests/e2e/test_control_menu.py.
#include <gtest/gtest.h>

#include <stddef.h>
#include <stdint.h>

#include "program/control_marks.h"

namespace {

struct MarkCase {
  const char* name;
  PairMarks (*mark)(int32_t);
  int32_t setting;
  uint32_t first;
  uint32_t second;
};

const uint32_t CUR = MARK_CURRENT, OFF = MARK_CHOOSABLE;

TEST(ControlMarks, PairsForEachSetting) {
  const MarkCase cases[] = {
      {"activation on", MarkActivation, 1, CUR, OFF},
      {"activation off", MarkActivation, 0, OFF, CUR},
      {"activation odd 7 shows Deactivate current", MarkActivation, 7, OFF, CUR},
      {"activation odd -1", MarkActivation, -1, OFF, CUR},
      {"activation odd 2", MarkActivation, 2, OFF, CUR},
      {"extra items on", MarkExtraItems, 1, CUR, OFF},
      {"extra items off", MarkExtraItems, 0, OFF, CUR},
      {"extra items odd 2", MarkExtraItems, 2, OFF, CUR},
      {"extra items odd -1", MarkExtraItems, -1, OFF, CUR},
      {"menu size large", MarkMenuSize, 0, CUR, OFF},
      {"menu size small", MarkMenuSize, 1, OFF, CUR},
      {"menu size odd 2", MarkMenuSize, 2, OFF, CUR},
      {"menu size odd -1", MarkMenuSize, -1, OFF, CUR},
      {"trigger absent or 0: any right click", MarkTrigger, 0, CUR, OFF},
      {"trigger Ctrl + right click", MarkTrigger, 1, OFF, CUR},
      {"trigger odd 2 reads as any right click", MarkTrigger, 2, CUR, OFF},
      {"trigger odd -1 reads as any right click", MarkTrigger, -1, CUR, OFF},
  };
  for (const MarkCase& c : cases) {
    SCOPED_TRACE(c.name);
    PairMarks marks = c.mark(c.setting);
    EXPECT_EQ(marks.first, c.first);
    EXPECT_EQ(marks.second, c.second);
  }
}

// Activate stores and marks only what the hook did: a hook that could not be installed
// leaves the file, `enabled` and so the marks as they were, and is reported.
TEST(ControlMarks, ActivationFollowsWhatTheHookDid) {
  struct {
    const char* name;
    bool on, hookDone;
    int32_t before;
    bool store;
    int32_t enabled;
    bool report;
  } const cases[] = {
      {"installed", true, true, 0, true, 1, false},
      {"installed over an odd stored 7", true, true, 7, true, 1, false},
      {"install failed from off", true, false, 0, false, 0, true},
      {"install failed keeps an odd 7", true, false, 7, false, 7, true},
      {"removed", false, true, 1, true, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ActivationOutcome outcome = DecideActivation(c.on, c.hookDone, c.before);
    EXPECT_EQ(outcome.store, c.store);
    EXPECT_EQ(outcome.enabled, c.enabled);
    EXPECT_EQ(outcome.report, c.report);
    EXPECT_EQ(MarkActivation(outcome.enabled).first, c.on && c.hookDone ? CUR : OFF);
  }
}

// What the Startup folder's "Pivotrix.lnk" says (whether it exists and reads as a shortcut,
// its target and working directory), judged for C:\Tools\Pivotrix\Pivotrix.exe and the
// directory of its settings, and the pair's marks for it. Path() is a name alone, as for a
// file that can't be opened; File() one that the system identified (volume 7 unless given).
NamedFile Path(const wchar_t* path) { return {path, {false, 0, 0}}; }
NamedFile File(const wchar_t* path, uint64_t index, uint32_t volume = 7) {
  return {path, {true, volume, index}};
}

TEST(ControlMarks, StartWithWindowsOnlyForAShortcutToThisProgram) {
  const NamedFile program = Path(L"C:\\Tools\\Pivotrix\\Pivotrix.exe");
  const NamedFile tools = Path(L"C:\\Tools\\Pivotrix");
  const NamedFile programFile = File(program.path, 100), toolsFile = File(tools.path, 50);
  struct {
    const char* name;
    bool exists, read;
    NamedFile target, workingDir, program, settingsDir;
    StartupShortcut expected;
  } const cases[] = {
      {"missing", false, false, program, tools, program, tools, SHORTCUT_MISSING},
      {"this program in its settings directory", true, true, program, tools, program, tools,
       SHORTCUT_THIS},
      {"case, / and a trailing separator as file names read", true, true,
       Path(L"c:/TOOLS/pivotrix/PIVOTRIX.EXE"), Path(L"C:\\tools\\PIVOTRIX\\"), program, tools,
       SHORTCUT_THIS},
      {"a trailing / in the working directory", true, true, program,
       Path(L"C:\\Tools\\Pivotrix/"), program, tools, SHORTCUT_THIS},
      {"Latin-1 letters in either case", true, true, program, Path(L"C:\\\u00c4pfel"), program,
       Path(L"c:\\\u00e4PFEL"), SHORTCUT_THIS},
      {"division and multiplication signs are not a pair of cases", true, true, program,
       Path(L"C:\\a\u00f7b"), program, Path(L"C:\\a\u00d7b"), SHORTCUT_ELSEWHERE},
      {"a drive's root keeps its separator", true, true, program, Path(L"C:\\"), program,
       Path(L"C:\\"), SHORTCUT_THIS},
      {"a network share", true, true, program, Path(L"\\\\srv\\share\\"), program,
       Path(L"\\\\SRV\\share"), SHORTCUT_THIS},
      {"\\\\?\\ and \\\\?\\UNC\\ prefixes", true, true,
       Path(L"\\\\?\\C:\\Tools\\Pivotrix\\Pivotrix.exe"), Path(L"\\\\?\\unc\\srv\\share"),
       program, Path(L"\\\\srv\\share\\"), SHORTCUT_THIS},
      {"a drive alone is not its root", true, true, program, Path(L"C:"), program,
       Path(L"C:\\"), SHORTCUT_ELSEWHERE},
      {"another copy of Pivotrix", true, true, Path(L"D:\\Pivotrix.exe"), tools, program, tools,
       SHORTCUT_ELSEWHERE},
      {"started elsewhere: other settings", true, true, program, Path(L"C:\\"), program, tools,
       SHORTCUT_ELSEWHERE},
      {"no working directory", true, true, program, Path(L""), program, tools,
       SHORTCUT_ELSEWHERE},
      {"a directory that only begins the same", true, true, program,
       Path(L"C:\\Tools\\Pivotrix2"), program, tools, SHORTCUT_ELSEWHERE},
      {"a file that reads as no shortcut", true, false, program, tools, program, tools,
       SHORTCUT_ELSEWHERE},
      {"the same files by a short name and in a case outside Latin-1", true, true,
       File(L"C:\\TOOLS~1\\PIVOTR~1.EXE", 100), File(L"C:\\\u0395\u039b", 50), programFile,
       File(L"C:\\\u03b5\u03bb", 50), SHORTCUT_THIS},
      {"the same index on another volume", true, true, File(program.path, 100, 8), toolsFile,
       programFile, toolsFile, SHORTCUT_ELSEWHERE},
      {"a target that can't be opened is judged by its name", true, true,
       Path(L"C:\\Tools\\Pivotrix\\PIVOTRIX.exe"), toolsFile, programFile, toolsFile,
       SHORTCUT_THIS},
      {"which a short name does not match", true, true, Path(L"C:\\TOOLS~1\\PIVOTR~1.EXE"),
       toolsFile, programFile, toolsFile, SHORTCUT_ELSEWHERE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartupShortcut found =
        JudgeStartupShortcut(c.exists, c.read ? &c.target : NULL, c.read ? &c.workingDir : NULL,
                             c.program, c.settingsDir);
    EXPECT_EQ(found, c.expected);
    EXPECT_EQ(MarkStartWithWindows(found).first, c.expected == SHORTCUT_THIS ? CUR : OFF);
    EXPECT_EQ(MarkStartWithWindows(found).second, c.expected == SHORTCUT_THIS ? OFF : CUR);
  }
}

}  // namespace
