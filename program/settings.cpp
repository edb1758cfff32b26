#include "settings.h"

#include <direct.h>
#include <windows.h>

#include "program_state.h"
#include "settings_rules.h"

static const char kSection[] = "PIVOTRIX";

void WorkOutSettingsPath(void) {
  // _getcwd fails when the directory does not fit the buffer; the text then stays empty
  // and the file goes to the root of the current drive.
  char dir[SETTINGS_DIR_SIZE];
  KeepStartupDirectory(_getcwd(dir, SETTINGS_DIR_SIZE), Program.helpDir);
  BuildIniPath(Program.helpDir, Program.iniPath);
}

static int32_t ReadSetting(const char* key) {
  // Only the first character of a stored value counts: "10" reads as 1, "yes" as 0.
  char value[SETTING_BUFFER_SIZE];
  GetPrivateProfileStringA(kSection, key, "0", value, SETTING_BUFFER_SIZE, Program.iniPath);
  return ParseSettingValue(value);
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

void WriteSetting(const char* key, bool on) {
  WritePrivateProfileStringA(kSection, key, on ? "1" : "0", Program.iniPath);
}
