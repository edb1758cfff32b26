// Stored settings values, the kept start-up directory and the settings file's path.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <wchar.h>

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
  std::wstring dir;  // as obtained at start-up
  bool dirUnreadable;
  std::wstring kept;
  std::wstring path;
};

TEST(SettingsPath, KeptDirectoryAndIniPath) {
  const std::wstring dir255 = L"C:\\" + std::wstring(252, L'd');
  const std::wstring dir256 = dir255 + L"e";
  const PathCase cases[] = {
      {"drive root gets one backslash", L"C:\\", false, L"C:\\", L"C:\\PIVOTRIX.INI"},
      {"other drive root", L"Z:\\", false, L"Z:\\", L"Z:\\PIVOTRIX.INI"},
      {"directory", L"C:\\TOOLS", false, L"C:\\TOOLS", L"C:\\TOOLS\\PIVOTRIX.INI"},
      {"nested directory", L"Z:\\tmp\\x", false, L"Z:\\tmp\\x", L"Z:\\tmp\\x\\PIVOTRIX.INI"},
      {"empty directory means the current drive's root", L"", false, L"", L"\\PIVOTRIX.INI"},
      {"any 3-character directory is taken for a root", L"abc", false, L"abc",
       L"abcPIVOTRIX.INI"},
      {"2 characters", L"C:", false, L"C:", L"C:\\PIVOTRIX.INI"},
      {"4 characters", L"C:\\A", false, L"C:\\A", L"C:\\A\\PIVOTRIX.INI"},
      {"255 characters fit", dir255, false, dir255, dir255 + L"\\PIVOTRIX.INI"},
      {"256 characters do not fit", dir256, false, L"", L"\\PIVOTRIX.INI"},
      {"far too long", std::wstring(4000, L'x'), false, L"", L"\\PIVOTRIX.INI"},
      {"unreadable directory", L"", true, L"", L"\\PIVOTRIX.INI"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.name);
    struct {
      wchar_t kept[SETTINGS_DIR_SIZE];
      unsigned char canary[32];
    } k;
    memset(&k, '#', sizeof k);  // leftovers must not survive
    KeepStartupDirectory(c.dirUnreadable ? nullptr : c.dir.c_str(), k.kept);
    ASSERT_NE(wmemchr(k.kept, L'\0', SETTINGS_DIR_SIZE), nullptr) << "kept directory unterminated";
    EXPECT_EQ(std::wstring(k.kept), c.kept);
    for (unsigned char b : k.canary) ASSERT_EQ(b, '#') << "write past the kept directory";

    struct {
      wchar_t path[SETTINGS_PATH_SIZE];
      unsigned char canary[32];
    } p;
    memset(&p, '#', sizeof p);
    BuildIniPath(k.kept, p.path);
    ASSERT_NE(wmemchr(p.path, L'\0', SETTINGS_PATH_SIZE), nullptr) << "path unterminated";
    EXPECT_EQ(std::wstring(p.path), c.path);
    for (unsigned char b : p.canary) ASSERT_EQ(b, '#') << "write past the path";
  }
}

TEST(SettingsPath, LongestKeptDirectoryFillsThePathExactly) {
  const std::wstring dir(255, L'q');
  wchar_t kept[SETTINGS_DIR_SIZE];
  KeepStartupDirectory(dir.c_str(), kept);
  wchar_t path[SETTINGS_PATH_SIZE];
  BuildIniPath(kept, path);
  EXPECT_EQ(wcslen(path), 268u);
  EXPECT_EQ(wcslen(path) + 1, SETTINGS_PATH_SIZE);
}

}  // namespace
