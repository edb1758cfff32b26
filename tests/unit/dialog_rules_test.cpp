// Dialog placement and the help viewer's command line.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

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
  std::string helpDir;
  std::string expected;
};

TEST(DialogHelp, CommandLineBuiltAndCutAtTheBuffersEnd) {
  const std::string dir255 = "C:\\" + std::string(252, 'h');
  // The line holds 280 characters: "write.exe \"" (11), the directory, "\PIVOTRIX.wri\"" (14).
  const HelpCase cases[] = {
      {"drive root: two backslashes in a row", "C:\\", "write.exe \"C:\\\\PIVOTRIX.wri\""},
      {"directory", "C:\\TOOLS", "write.exe \"C:\\TOOLS\\PIVOTRIX.wri\""},
      {"directory with spaces", "C:\\Program Files\\My Tools",
       "write.exe \"C:\\Program Files\\My Tools\\PIVOTRIX.wri\""},
      {"empty directory", "", "write.exe \"\\PIVOTRIX.wri\""},
      {"255 characters fit exactly", dir255, "write.exe \"" + dir255 + "\\PIVOTRIX.wri\""},
      {"256 characters lose the closing quote", dir255 + "i",
       "write.exe \"" + dir255 + "i\\PIVOTRIX.wri"},
      {"269 characters leave no room for the name", std::string(269, 'h'),
       "write.exe \"" + std::string(269, 'h')},
      {"5000 characters are cut inside the directory", std::string(5000, 'h'),
       "write.exe \"" + std::string(269, 'h')},
  };
  for (const HelpCase& c : cases) {
    SCOPED_TRACE(c.name);
    struct {
      char command[HELP_COMMAND_SIZE];
      unsigned char canary[64];
    } g;
    memset(&g, 0xA5, sizeof g);
    size_t length = BuildHelpCommandLine(c.helpDir.c_str(), g.command);

    for (unsigned char b : g.canary) ASSERT_EQ(b, 0xA5) << "write past the command buffer";
    const void* end = memchr(g.command, '\0', sizeof g.command);
    ASSERT_NE(end, nullptr) << "not terminated within the buffer";
    EXPECT_EQ(length, strlen(g.command));
    EXPECT_EQ(std::string(g.command), c.expected);
  }
}

}  // namespace
