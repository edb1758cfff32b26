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

// What the Startup folder's "Pivotrix.lnk" says (whether it exists, its target and working
// directory, null when unreadable), judged for C:\Tools\Pivotrix\Pivotrix.exe and the
// directory of its settings, and the pair's marks for it; none of the files could be opened.
NamedFile Path(const wchar_t* path) { return {path, {false, 0, 0}}; }
NamedFile File(const wchar_t* path, uint64_t index) { return {path, {true, 7, index}}; }

TEST(ControlMarks, StartWithWindowsOnlyForAShortcutToThisProgram) {
  const wchar_t* program = L"C:\\Tools\\Pivotrix\\Pivotrix.exe";
  const wchar_t* tools = L"C:\\Tools\\Pivotrix";
  struct {
    const char* name;
    bool exists;
    const wchar_t *target, *workingDir, *settingsDir;
    StartupShortcut expected;
  } const cases[] = {
      {"missing", false, NULL, NULL, tools, SHORTCUT_MISSING},
      {"this program in its settings directory", true, program, tools, tools, SHORTCUT_THIS},
      {"case, / and a trailing separator as file names read", true,
       L"c:/TOOLS/pivotrix/PIVOTRIX.EXE", L"C:\\tools\\PIVOTRIX\\", tools, SHORTCUT_THIS},
      {"a trailing / in the working directory", true, program, L"C:\\Tools\\Pivotrix/", tools,
       SHORTCUT_THIS},
      {"Latin-1 letters in either case", true, program, L"C:\\\u00c4pfel", L"c:\\\u00e4PFEL",
       SHORTCUT_THIS},
      {"division and multiplication signs are no pair of cases", true, program, L"C:\\\u00f7",
       L"C:\\\u00d7", SHORTCUT_ELSEWHERE},
      {"\\\\?\\ and \\\\?\\UNC\\ prefixes", true, L"\\\\?\\C:\\Tools\\Pivotrix\\Pivotrix.exe",
       L"\\\\?\\unc\\srv\\share", L"\\\\srv\\share\\", SHORTCUT_THIS},
      {"a drive's root keeps its separator", true, program, L"C:\\", L"C:\\", SHORTCUT_THIS},
      {"a network share", true, program, L"\\\\srv\\share\\", L"\\\\SRV\\share",
       SHORTCUT_THIS},
      {"a drive alone is not its root", true, program, L"C:", L"C:\\", SHORTCUT_ELSEWHERE},
      {"another copy of Pivotrix", true, L"D:\\Pivotrix.exe", tools, tools, SHORTCUT_ELSEWHERE},
      {"started elsewhere: other settings", true, program, L"C:\\", tools, SHORTCUT_ELSEWHERE},
      {"no working directory", true, program, L"", tools, SHORTCUT_ELSEWHERE},
      {"a directory that only begins the same", true, program, L"C:\\Tools\\Pivotrix2", tools,
       SHORTCUT_ELSEWHERE},
      {"a file that reads as no shortcut", true, NULL, NULL, tools, SHORTCUT_ELSEWHERE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NamedFile target = Path(c.target), dir = Path(c.workingDir);
    StartupShortcut found = JudgeStartupShortcut(c.exists, c.target ? &target : NULL,
                                                 c.target ? &dir : NULL, Path(program),
                                                 Path(c.settingsDir));
    EXPECT_EQ(found, c.expected);
    EXPECT_EQ(MarkStartWithWindows(found).first, c.expected == SHORTCUT_THIS ? CUR : OFF);
    EXPECT_EQ(MarkStartWithWindows(found).second, c.expected == SHORTCUT_THIS ? OFF : CUR);
  }
}

// The same for files that the system could open and tell apart: volume and index decide.
TEST(ControlMarks, StartWithWindowsForTheSameFilesByAnyName) {
  const NamedFile program = File(L"C:\\Tools\\Pivotrix\\Pivotrix.exe", 100);
  const NamedFile tools = File(L"C:\\Tools\\\u03c0\u03b9", 50);
  struct {
    const char* name;
    NamedFile target, workingDir;
    StartupShortcut expected;
  } const cases[] = {
      {"a short name and a case outside Latin-1", File(L"C:\\TOOLS~1\\PIVOTR~1.EXE", 100),
       File(L"C:\\TOOLS\\\u03a0\u0399", 50), SHORTCUT_THIS},
      {"the same index on another volume", {program.path, {true, 8, 100}}, tools,
       SHORTCUT_ELSEWHERE},
      {"a target that can't be opened, by its name", Path(L"c:\\tools\\pivotrix\\pivotrix.exe"),
       tools, SHORTCUT_THIS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JudgeStartupShortcut(true, &c.target, &c.workingDir, program, tools), c.expected);
  }
}

}  // namespace
