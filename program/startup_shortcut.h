// Starting with Windows: the shortcut "Pivotrix.lnk" in the user's Startup folder.
#ifndef PIVOTRIX_PROGRAM_STARTUP_SHORTCUT_H
#define PIVOTRIX_PROGRAM_STARTUP_SHORTCUT_H

#include "startup_rules.h"

// What the Startup folder holds for this Pivotrix now.
StartupShortcut ReadStartupShortcut(void);

// Writes the shortcut to this Pivotrix (on) or deletes it (off); says so in a message box
// when that fails, and then leaves the folder as it was.
void SwitchStartWithWindows(bool on);

#endif
