// The names that Explorer shows for the items of a folder, as the folder's "desktop.ini"
// gives them, and the Applications folder's apps that the Start Menu folders don't already
// hold. Decisions over plain UTF-16 text; the file reading and the string loading are the
// caller's.
#ifndef PIVOTRIX_PROGRAM_START_NAMES_RULES_H
#define PIVOTRIX_PROGRAM_START_NAMES_RULES_H

#include <stdint.h>

// The value of `key` in `section` of an INI file's text (`length` units; lines end in CR,
// LF or both; lines starting with ";" are comments). Section and key match without regard
// to the case of ASCII letters; the value is trimmed of blanks and of one pair of enclosing
// double quotes. Returns its length and sets `value` to its start, or -1 where the text has
// no such key.
int FindIniValue(const char16_t* text, int length, const char16_t* section, const char16_t* key,
                 const char16_t** value);

// The name that a folder's desktop.ini gives: with `fileName` null, the folder's own
// ("LocalizedResourceName" in "[.ShellClassInfo]"), else that of the folder's item of that
// name ("[LocalizedFileNames]"). Returns its length, or -1 (also for an empty value).
int DesktopIniName(const char16_t* text, int length, const char16_t* fileName,
                   const char16_t** value);

// An indirect string "@<module>,-<id>": the module's part of `value` and the string's id in
// its string table. False for any other text, "@module,-id;v2" language tags included
// (left to the shell's own lookup).
bool ParseIndirectString(const char16_t* value, int length, int* moduleStart, int* moduleLength,
                         uint32_t* id);

// True for a packaged app's ID as the Applications folder names it,
// "<name>_<13-character publisher id>!<application id>". The folder's other items are the
// Start Menu folders' own shortcuts (named by a target path or by an ID the shortcut
// carries).
bool IsPackagedAppId(const char16_t* id);

#endif
