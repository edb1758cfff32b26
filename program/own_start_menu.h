// Pivotrix's own Start menu, for shells whose Start menu can't be brought to the mouse: the
// user's and all users' Start Menu folders merged, each submenu filled when it opens, the
// icons looked up on a thread of their own, and a chosen entry opened by the shell on
// another, so that the main thread never waits for the shell.
#ifndef PIVOTRIX_PROGRAM_OWN_START_MENU_H
#define PIVOTRIX_PROGRAM_OWN_START_MENU_H

#include <windows.h>

// Shows the menu with its bottom-left corner at the cursor, where the shell's would stand
// if its button's top-left corner were there; returns once it is closed.
void ShowOwnStartMenu(void);

// The main window's menu messages (WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM,
// WM_MENUCHAR, WM_ENTERIDLE) and UM_ICONS_READY: true, with the result, when one belongs
// to the menu.
bool OnOwnStartMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

#endif
