#include "taskbar.h"

#include <shellapi.h>

#include "program_state.h"

// A window whose class can't be read (null, or just destroyed) matches no class name.
static bool HasClass(HWND hwnd, const char* className) {
  char name[32];
  if (GetClassNameA(hwnd, name, 30) == 0) return false;
  return lstrcmpiA(name, className) == 0;
}

extern "C" BOOL CALLBACK CheckWindows(HWND hwnd, LPARAM) {
  if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) return TRUE;
  if (!HasClass(hwnd, "Shell_TrayWnd")) return TRUE;
  Program.hwndTray = hwnd;
  return FALSE;
}

// The Start button is the first "Button" child whose top-left corner lies within 5 pixels
// of the tray's client origin.
static HWND FindStartButton(HWND tray) {
  for (HWND child = GetWindow(tray, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!HasClass(child, "Button")) continue;
    RECT rect;
    GetWindowRect(child, &rect);
    POINT corner = {rect.left, rect.top};
    ScreenToClient(tray, &corner);
    if (corner.x < 5 && corner.y < 5) return child;
  }
  return NULL;
}

// The task tabs are the first child of the task-switch window; when that child is
// something else, right clicks on the task buttons will bring the popup too.
static HWND FindTaskSwitch(HWND tray) {
  for (HWND child = GetWindow(tray, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (HasClass(child, "MSTaskSwWClass")) return child;
  }
  return NULL;
}

static HWND FindTaskTabs(HWND tray) {
  for (HWND child = GetWindow(tray, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!HasClass(child, "MSTaskSwWClass")) continue;
    HWND tabs = GetWindow(child, GW_CHILD);
    if (HasClass(tabs, "SysTabControl32")) return tabs;
    MessageBoxA(Program.hwndMain,
                "Can't find hWnd to 'SysTabControl32'!, which means that 'Pivotrix' also "
                "pops up on icons in SystemTaskBar.",
                "Error", MB_OK);
    return NULL;
  }
  return NULL;
}

void FindTaskbarWindows(void) {
  Program.hwndTray = NULL;
  Program.hwndStartButton = NULL;
  Program.hwndTaskTabs = NULL;
  EnumWindows(CheckWindows, 0);
  Program.hwndStartButton = FindStartButton(Program.hwndTray);
  Program.hwndTaskTabs = FindTaskTabs(Program.hwndTray);
  Program.classicTaskbar =
      Program.hwndStartButton != NULL && FindTaskSwitch(Program.hwndTray) != NULL ? 1 : 0;
}

UINT RefreshAutoHide(void) {
  APPBARDATA data = {};
  data.cbSize = sizeof data;
  data.hWnd = NULL;
  UINT state = static_cast<UINT>(SHAppBarMessage(ABM_GETSTATE, &data));
  Program.autoHide = (state & ABS_AUTOHIDE) ? 1 : 0;
  return state;
}
