// Dialog placement and the help viewer's command line.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <string>

#include "program/dialog_rules.h"

namespace {

struct CentreCase {
  const char* name;
  int32_t screen;
  int32_t size;
  int32_t expected;
};

TEST(DialogCentre, CentredTruncatedNeverBeforeTheOrigin) {
  const CentreCase cases[] = {
      {"1024, even leftover", 1024, 300, 362},
      {"1024, odd leftover truncates", 1024, 301, 361},
      {"1024, fills the screen", 1024, 1024, 0},
      {"1024, one pixel too big", 1024, 1025, 0},
      {"1024, much too big", 1024, 1100, 0},
      {"640", 640, 200, 220},
      {"768 height", 768, 400, 184},
      {"zero size", 800, 0, 400},
  };
  for (const CentreCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CentreCoordinate(c.screen, c.size), c.expected);
  }
}

struct HelpCase {
  const char* name;
  std::wstring helpDir;
  std::wstring expected;
};

TEST(DialogHelp, CommandLineBuiltAndCutAtTheBuffersEnd) {
  const std::wstring dir255 = L"C:\\" + std::wstring(252, L'h');
  // The line holds 280 code units: "write.exe \"" (11), the directory, "\PIVOTRIX.wri\"" (14).
  const HelpCase cases[] = {
      {"drive root: two backslashes in a row", L"C:\\", L"write.exe \"C:\\\\PIVOTRIX.wri\""},
      {"directory", L"C:\\TOOLS", L"write.exe \"C:\\TOOLS\\PIVOTRIX.wri\""},
      {"directory with spaces", L"C:\\Program Files\\My Tools",
       L"write.exe \"C:\\Program Files\\My Tools\\PIVOTRIX.wri\""},
      {"empty directory", L"", L"write.exe \"\\PIVOTRIX.wri\""},
      {"255 characters fit exactly", dir255, L"write.exe \"" + dir255 + L"\\PIVOTRIX.wri\""},
      {"256 characters lose the closing quote", dir255 + L"i",
       L"write.exe \"" + dir255 + L"i\\PIVOTRIX.wri"},
      {"269 characters leave no room for the name", std::wstring(269, L'h'),
       L"write.exe \"" + std::wstring(269, L'h')},
      {"5000 characters are cut inside the directory", std::wstring(5000, L'h'),
       L"write.exe \"" + std::wstring(269, L'h')},
  };
  for (const HelpCase& c : cases) {
    SCOPED_TRACE(c.name);
    struct {
      wchar_t command[HELP_COMMAND_SIZE];
      unsigned char canary[64];
    } g;
    memset(&g, 0xA5, sizeof g);
    size_t length = BuildHelpCommandLine(c.helpDir.c_str(), g.command);

    for (unsigned char b : g.canary) ASSERT_EQ(b, 0xA5) << "write past the command buffer";
    const void* end = wmemchr(g.command, L'\0', HELP_COMMAND_SIZE);
    ASSERT_NE(end, nullptr) << "not terminated within the buffer";
    EXPECT_EQ(length, wcslen(g.command));
    EXPECT_EQ(std::wstring(g.command), c.expected);
  }
}

}  // namespace
