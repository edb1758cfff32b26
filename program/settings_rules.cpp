#include "settings_rules.h"

#include <stdlib.h>
#include <string.h>

int32_t ParseSettingValue(const char* text) {
  long value = strtol(text, NULL, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

void KeepStartupDirectory(const char* dir, char (&kept)[SETTINGS_DIR_SIZE]) {
  kept[0] = '\0';
  if (dir == NULL) return;
  size_t length = strlen(dir);
  if (length >= SETTINGS_DIR_SIZE) return;
  memcpy(kept, dir, length + 1);
}

void BuildIniPath(const char (&dir)[SETTINGS_DIR_SIZE], char (&path)[SETTINGS_PATH_SIZE]) {
  size_t length = 0;
  while (length < SETTINGS_DIR_SIZE - 1 && dir[length] != '\0') ++length;
  const char* file = length == 3 ? "PIVOTRIX.INI" : "\\PIVOTRIX.INI";
  memcpy(path, dir, length);
  memcpy(path + length, file, strlen(file) + 1);
}
