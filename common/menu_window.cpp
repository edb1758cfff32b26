#include "menu_window.h"

HWND MenuWindowUnderCursor(void) {
  POINT cursor;
  if (!GetCursorPos(&cursor)) return NULL;
  HWND under = WindowFromPoint(cursor);
  if (under == NULL) return NULL;
  char className[81];
  if (GetClassNameA(under, className, 80) == 0) return NULL;
  return lstrcmpiA(className, "#32768") == 0 ? under : NULL;
}
