// Settings values over plain text, and the settings file's path over UTF-16 code units.
#ifndef PIVOTRIX_PROGRAM_SETTINGS_RULES_H
#define PIVOTRIX_PROGRAM_SETTINGS_RULES_H

#include <stddef.h>
#include <stdint.h>

enum {
  SETTINGS_DIR_SIZE = 256,   // a directory of at most 255 code units and its terminator
  SETTINGS_PATH_SIZE = 269,  // that directory, "\PIVOTRIX.INI" and the terminator
  SETTING_BUFFER_SIZE = 2,   // the profile read keeps one character of a stored value
};

// A stored value as signed decimal text: leading white space and one sign allowed,
// conversion stops at the first non-digit; anything else reads as 0.
int32_t ParseSettingValue(const char* text);

// The start-up directory as kept: a copy of dir when it fits the buffer, else empty.
void KeepStartupDirectory(const wchar_t* dir, wchar_t (&kept)[SETTINGS_DIR_SIZE]);

// The settings file in dir: "PIVOTRIX.INI" appended directly to a drive root (3 code units,
// as C:\), "\PIVOTRIX.INI" to anything else, so an empty dir gives the current drive's root.
void BuildIniPath(const wchar_t (&dir)[SETTINGS_DIR_SIZE], wchar_t (&path)[SETTINGS_PATH_SIZE]);

#endif
