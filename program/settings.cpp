#include "settings.h"

#include <windows.h>

#include "program_state.h"
#include "settings_rules.h"

// The path goes to the profile functions as UTF-16, so that a folder named outside the ANSI
// code page is reached. The file itself stays as the ANSI functions wrote it: the wide ones
// create a new file in the ANSI code page and keep an existing one in its own encoding.
static const WCHAR kSection[] = L"PIVOTRIX";

void WorkOutSettingsPath(void) {
  // A directory that does not fit (the result is then the size it needs) or can't be read
  // leaves the text empty, and the file goes to the root of the current drive.
  WCHAR dir[SETTINGS_DIR_SIZE];
  DWORD length = GetCurrentDirectoryW(SETTINGS_DIR_SIZE, dir);
  KeepStartupDirectory(length > 0 && length < SETTINGS_DIR_SIZE ? dir : NULL, Program.helpDir);
  BuildIniPath(Program.helpDir, Program.iniPath);
}

static int32_t ReadSetting(const WCHAR* key) {
  // Only the first character of a stored value counts: "10" reads as 1, "yes" as 0. A
  // character outside ASCII starts no number, as its ANSI bytes would not either.
  WCHAR value[SETTING_BUFFER_SIZE] = L"";  // as read when the call fails
  GetPrivateProfileStringW(kSection, key, L"0", value, SETTING_BUFFER_SIZE, Program.iniPath);
  char text[SETTING_BUFFER_SIZE] = {value[0] < 0x80 ? static_cast<char>(value[0]) : '\0', '\0'};
  return ParseSettingValue(text);
}

// The capture is the program's long-standing way of reading its file: it keeps mouse input
// on the new, not yet shown window for the moment of the read, and ends before it shows.
void ReadSettings(void) {
  SetCapture(Program.hwndMain);
  Program.enabled = ReadSetting(kKeyEnable);
  Program.extraItems = ReadSetting(kKeyExtra);
  Program.menuSize = ReadSetting(kKeyMenuSize);
  Program.trigger = ReadSetting(kKeyTrigger);
  ReleaseCapture();
}

void WriteSetting(const WCHAR* key, bool on) {
  WritePrivateProfileStringW(kSection, key, on ? L"1" : L"0", Program.iniPath);
}
