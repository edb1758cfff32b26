// Stored settings values, the kept start-up directory and the settings file's path.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

#include "program/settings_rules.h"

namespace {

struct ValueCase {
  const char* name;
  const char* text;
  int32_t expected;
};

TEST(SettingsValue, ParsesSignedDecimalText) {
  const ValueCase cases[] = {
      {"plain", "42", 42},
      {"leading blanks", "  42", 42},
      {"leading tab and newline", "\t\n7", 7},
      {"negative", "-3", -3},
      {"explicit plus", "+8", 8},
      {"stops at first non-digit", "12abc", 12},
      {"stops at a blank", "3 4", 3},
      {"stops at a second sign", "5-2", 5},
      {"leading zeros", "007", 7},
      {"letters", "abc", 0},
      {"empty", "", 0},
      {"sign then blank", "- 4", 0},
      {"two signs", "--4", 0},
      {"sign alone", "-", 0},
      // The profile read hands over one character: the end-to-end tests store "10" and "-1"
      // and see them read as 1 and 0.
      {"a digit alone", "7", 7},
      {"plus alone", "+", 0},
      {"blank alone", " ", 0},
      {"hex is not read as hex", "0x1F", 0},
      {"largest 32-bit", "2147483647", INT32_MAX},
      {"smallest 32-bit", "-2147483648", INT32_MIN},
      {"just above 32 bits clamps", "2147483648", INT32_MAX},
      {"just below 32 bits clamps", "-2147483649", INT32_MIN},
      {"huge clamps high", "99999999999", INT32_MAX},
      {"huge negative clamps low", "-99999999999", INT32_MIN},
      {"beyond 64 bits clamps high", "99999999999999999999999", INT32_MAX},
      {"beyond 64 bits clamps low", "-99999999999999999999999", INT32_MIN},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseSettingValue(c.text), c.expected);
  }
}

// ---------------------------------------------------------------------------------------
// Start-up directory and settings path

struct PathCase {
  const char* name;
  std::string dir;  // as obtained at start-up
  bool dirUnreadable;
  std::string kept;
  std::string path;
};

TEST(SettingsPath, KeptDirectoryAndIniPath) {
  const std::string dir255 = "C:\\" + std::string(252, 'd');
  const std::string dir256 = dir255 + "e";
  const PathCase cases[] = {
      {"drive root gets one backslash", "C:\\", false, "C:\\", "C:\\PIVOTRIX.INI"},
      {"other drive root", "Z:\\", false, "Z:\\", "Z:\\PIVOTRIX.INI"},
      {"directory", "C:\\TOOLS", false, "C:\\TOOLS", "C:\\TOOLS\\PIVOTRIX.INI"},
      {"nested directory", "Z:\\tmp\\x", false, "Z:\\tmp\\x", "Z:\\tmp\\x\\PIVOTRIX.INI"},
      {"empty directory means the current drive's root", "", false, "", "\\PIVOTRIX.INI"},
      {"any 3-character directory is taken for a root", "abc", false, "abc",
       "abcPIVOTRIX.INI"},
      {"2 characters", "C:", false, "C:", "C:\\PIVOTRIX.INI"},
      {"4 characters", "C:\\A", false, "C:\\A", "C:\\A\\PIVOTRIX.INI"},
      {"255 characters fit", dir255, false, dir255, dir255 + "\\PIVOTRIX.INI"},
      {"256 characters do not fit", dir256, false, "", "\\PIVOTRIX.INI"},
      {"far too long", std::string(4000, 'x'), false, "", "\\PIVOTRIX.INI"},
      {"unreadable directory", "", true, "", "\\PIVOTRIX.INI"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.name);
    struct {
      char kept[SETTINGS_DIR_SIZE];
      unsigned char canary[32];
    } k;
    memset(&k, '#', sizeof k);  // leftovers must not survive
    KeepStartupDirectory(c.dirUnreadable ? nullptr : c.dir.c_str(), k.kept);
    ASSERT_NE(memchr(k.kept, '\0', sizeof k.kept), nullptr) << "kept directory unterminated";
    EXPECT_EQ(std::string(k.kept), c.kept);
    for (unsigned char b : k.canary) ASSERT_EQ(b, '#') << "write past the kept directory";

    struct {
      char path[SETTINGS_PATH_SIZE];
      unsigned char canary[32];
    } p;
    memset(&p, '#', sizeof p);
    BuildIniPath(k.kept, p.path);
    ASSERT_NE(memchr(p.path, '\0', sizeof p.path), nullptr) << "path unterminated";
    EXPECT_EQ(std::string(p.path), c.path);
    for (unsigned char b : p.canary) ASSERT_EQ(b, '#') << "write past the path";
  }
}

TEST(SettingsPath, LongestKeptDirectoryFillsThePathExactly) {
  const std::string dir(255, 'q');
  char kept[SETTINGS_DIR_SIZE];
  KeepStartupDirectory(dir.c_str(), kept);
  char path[SETTINGS_PATH_SIZE];
  BuildIniPath(kept, path);
  EXPECT_EQ(strlen(path), 268u);
  EXPECT_EQ(strlen(path) + 1, sizeof path);
}

}  // namespace
