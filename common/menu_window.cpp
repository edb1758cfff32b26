#include "menu_window.h"

bool IsMenuWindow(HWND hwnd) {
  char className[81];
  if (hwnd == NULL || GetClassNameA(hwnd, className, 80) == 0) return false;
  return lstrcmpiA(className, "#32768") == 0;
}

HWND MenuWindowUnderCursor(void) {
  POINT cursor;
  if (!GetCursorPos(&cursor)) return NULL;
  HWND under = WindowFromPoint(cursor);
  return IsMenuWindow(under) ? under : NULL;
}
