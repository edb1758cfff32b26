// The menu-window test and the cursor-over-menu test, shared by the hook library and the
// menu program.
#ifndef PIVOTRIX_COMMON_MENU_WINDOW_H
#define PIVOTRIX_COMMON_MENU_WINDOW_H

#include <windows.h>

// The window's class is the system's menu class "#32768" (false for null, or when its
// class can't be read).
bool IsMenuWindow(HWND hwnd);

// The window under the cursor when its class is the system's menu class "#32768",
// otherwise null (also when nothing is under the cursor or its class can't be read).
HWND MenuWindowUnderCursor(void);

inline bool IsCursorOverMenu(void) { return MenuWindowUnderCursor() != NULL; }

#endif
