// Pivotrix's own Start menu, for shells whose Start menu can't be brought to the mouse: the
// user's and all users' Start Menu folders merged, with the Applications folder's apps in
// Programs, the names Explorer shows, and Explorer's Settings, Find and Run at the root.
// Each folder is listed on a thread of its own when its submenu opens, the icons are looked
// up on another, and a chosen entry is opened by the shell on a third, so that the main
// thread never waits long.
#ifndef PIVOTRIX_PROGRAM_OWN_START_MENU_H
#define PIVOTRIX_PROGRAM_OWN_START_MENU_H

#include <windows.h>

// Shows the menu with its bottom-left corner at the cursor, where the shell's would stand
// if its button's top-left corner were there; returns once it is closed.
void ShowOwnStartMenu(void);

// The main window's menu messages (WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM,
// WM_MENUCHAR, WM_ENTERIDLE), UM_ICONS_READY and UM_FOLDER_LISTED: true, with the result, when one belongs
// to the menu.
bool OnOwnStartMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

#endif
