// The settings file "PIVOTRIX.INI" in the start-up directory, section "PIVOTRIX".
#ifndef PIVOTRIX_PROGRAM_SETTINGS_H
#define PIVOTRIX_PROGRAM_SETTINGS_H

#include <stdint.h>

// The section's keys.
constexpr wchar_t kKeyEnable[] = L"Enable";      // 1: the hook is installed at start-up
constexpr wchar_t kKeyExtra[] = L"Extra";        // 1: the popup carries the window commands
constexpr wchar_t kKeyMenuSize[] = L"MenuSize";  // 0: large popup (texts), else small (pictures)
constexpr wchar_t kKeyTrigger[] = L"Trigger";    // 1: Ctrl + right click, else any right click

// Fixes iniPath and helpDir from the directory that is current at start-up.
void WorkOutSettingsPath(void);

// Reads the three switches into enabled, extraItems and menuSize.
void ReadSettings(void);

// Writes one key as "1" or "0"; the result is not tested.
void WriteSetting(const wchar_t* key, bool on);

#endif
