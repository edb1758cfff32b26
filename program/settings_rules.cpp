#include "settings_rules.h"

#include <stdlib.h>
#include <wchar.h>

int32_t ParseSettingValue(const char* text) {
  long value = strtol(text, NULL, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

void KeepStartupDirectory(const wchar_t* dir, wchar_t (&kept)[SETTINGS_DIR_SIZE]) {
  kept[0] = L'\0';
  if (dir == NULL) return;
  size_t length = wcslen(dir);
  if (length >= SETTINGS_DIR_SIZE) return;
  wmemcpy(kept, dir, length + 1);
}

void BuildIniPath(const wchar_t (&dir)[SETTINGS_DIR_SIZE], wchar_t (&path)[SETTINGS_PATH_SIZE]) {
  size_t length = 0;
  while (length < SETTINGS_DIR_SIZE - 1 && dir[length] != L'\0') ++length;
  const wchar_t* file = length == 3 ? L"PIVOTRIX.INI" : L"\\PIVOTRIX.INI";
  wmemcpy(path, dir, length);
  wmemcpy(path + length, file, wcslen(file) + 1);
}
