// The control menu: settings and dialogs appended to the main window's system menu, which
// the user opens on the program's taskbar button.
#ifndef PIVOTRIX_PROGRAM_CONTROL_MENU_H
#define PIVOTRIX_PROGRAM_CONTROL_MENU_H

#include <windows.h>

// Appends the items, marked for the settings just read.
void BuildControlMenu(void);

// Marks again what may have changed outside the program; called as the menu opens.
void OnControlMenuOpen(void);

// Carries out a control-menu command; false for any other system command.
bool OnControlCommand(UINT id);

#endif
