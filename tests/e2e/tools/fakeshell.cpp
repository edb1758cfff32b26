// fakeshell.exe - imitation of a classic taskbar for the end-to-end tests.
//
// Creates:
//   * a top-level "Shell_TrayWnd" window (WS_POPUP|WS_VISIBLE|WS_CLIPCHILDREN,
//     WS_EX_TOPMOST|WS_EX_TOOLWINDOW) at (0, screenHeight-30, screenWidth, 30);
//   * a "Button" child "Start" at client (2,2), 54x24. On WM_LBUTTONDOWN it returns at once
//     after posting itself a private message; on that message it reads its current window
//     rectangle and tracks a popup menu with TPM_LEFTALIGN|TPM_BOTTOMALIGN at
//     (rect.left, rect.top);
//   * a "MSTaskSwWClass" child at client (60,2), (screenWidth-70)x26 whose first child is a
//     "SysTabControl32" with tabs "Task one", "Task two".
//
// Options:
//   --no-tabs       the task switch window's only child is a "Static"
//   --menu-in-press the Start button tracks its menu inside its WM_LBUTTONDOWN handler, so
//                   that a program that sent it the press waits until the menu closes
//   --log FILE      append log lines to FILE (LF line ends; every line is also written to
//                   stdout, where it ends in CR LF)
//
// Log lines ("<ms> EVENT args", ms since start):
//   READY tray=0x%08X start=0x%08X tasksw=0x%08X tabs=0x%08X
//   START LBUTTONDOWN x y
//   STARTMENU_OPEN left top          (anchor = button rect left/top)
//   STARTMENU_BUSY                   (request while the menu is open)
//   STARTMENU_CLOSED cmd             (chosen id, 0 when dismissed)
//   TABS RBUTTONDOWN x y / TABS RBUTTONUP x y   (client coordinates)
//   CLOSE / DESTROY
// Runs until the tray window gets WM_CLOSE; exits with code 0.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>
#include <stdio.h>
#include <string.h>

#include "tool_log.h"
#include "tool_window.h"

static const char kTrayClass[] = "Shell_TrayWnd";
static const char kTaskSwClass[] = "MSTaskSwWClass";
static const UINT kOpenStartMenu = WM_APP + 1;
static const int kTrayHeight = 30;
static const int kStartId = 0x130;
static const int kTaskSwId = 0x131;
static const int kTabsId = 0x132;
static const int kStaticId = 0x133;
static const char kOptions[] = "[--no-tabs] [--menu-in-press] [--log FILE]";

static HWND tray;
static HWND startButton;
static HWND taskSwitch;
static HWND tabs;          // null with --no-tabs
static WNDPROC startProc;  // the Start button's own window procedure
static WNDPROC tabsProc;   // the tab control's own window procedure
static bool menuOpen;      // the Start menu is being tracked
static bool menuInPress;   // --menu-in-press

static void ShowStartMenu(HWND button) {
  if (menuOpen) {
    Log("STARTMENU_BUSY");
    return;
  }
  RECT r;
  SetRectEmpty(&r);
  GetWindowRect(button, &r);

  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "Programs");
  AppendMenuA(menu, MF_STRING, 2, "Documents");
  AppendMenuA(menu, MF_STRING, 3, "Settings");
  AppendMenuA(menu, MF_STRING, 4, "Run...");
  AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuA(menu, MF_STRING, 5, "Shut Down...");

  Log("STARTMENU_OPEN %ld %ld", r.left, r.top);
  menuOpen = true;
  SetForegroundWindow(tray);
  int command = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, r.left, r.top,
                               0, tray, NULL);
  // Usual follow-up so that the next click works as expected.
  PostMessageA(tray, WM_NULL, 0, 0);
  menuOpen = false;
  DestroyMenu(menu);
  Log("STARTMENU_CLOSED %d", command);
}

static LRESULT CALLBACK StartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) {
    Log("START LBUTTONDOWN %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (menuInPress) {
      ShowStartMenu(hwnd);
    } else {
      PostMessageA(hwnd, kOpenStartMenu, 0, 0);
    }
    return 0;
  }
  if (message == kOpenStartMenu) {
    ShowStartMenu(hwnd);
    return 0;
  }
  return CallWindowProcA(startProc, hwnd, message, wParam, lParam);
}

static LRESULT CALLBACK TabsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RBUTTONDOWN) {
    Log("TABS RBUTTONDOWN %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  } else if (message == WM_RBUTTONUP) {
    Log("TABS RBUTTONUP %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  }
  return CallWindowProcA(tabsProc, hwnd, message, wParam, lParam);
}

static LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Log("CLOSE");
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      Log("DESTROY");
      PostQuitMessage(0);
      return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

static LRESULT CALLBACK TaskSwitchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

static bool RegisterClasses(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TrayProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(NULL, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wc.lpszClassName = kTrayClass;
  if (!RegisterClassA(&wc)) return false;

  wc.lpfnWndProc = TaskSwitchProc;
  wc.lpszClassName = kTaskSwClass;
  return RegisterClassA(&wc) != 0;
}

// The task switch window's only child, filling it.
static HWND CreateTaskSwitchChild(HINSTANCE instance, const char* className, const char* text,
                                  int w, int h, int id) {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, w, h,
                         taskSwitch, ControlId(id), instance, NULL);
}

static HWND CreateTabs(HINSTANCE instance, int w, int h) {
  HWND control = CreateTaskSwitchChild(instance, WC_TABCONTROLA, "", w, h, kTabsId);
  if (control == NULL) return NULL;
  SetGuiFont(control);
  char names[2][16] = {"Task one", "Task two"};
  for (int i = 0; i < 2; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = names[i];
    SendMessageA(control, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  tabsProc = ReplaceWindowProc(control, TabsProc);
  return control;
}

static HWND CreateStatic(HINSTANCE instance, int w, int h) {
  return CreateTaskSwitchChild(instance, "Static", "Static", w, h, kStaticId);
}

// Exit code 3 for a window that could not be made.
static int CreateFailed(const char* what) {
  Log("ERROR %s %lu", what, GetLastError());
  return 3;
}

static int Usage(const char* what) { return UsageError("fakeshell", kOptions, what); }

int main(int argc, char** argv) {
  StartLogClock();
  bool noTabs = false;
  const char* logPath = NULL;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--no-tabs") == 0) {
      noTabs = true;
    } else if (strcmp(argv[i], "--menu-in-press") == 0) {
      menuInPress = true;
    } else if (strcmp(argv[i], "--log") == 0 && i + 1 < argc) {
      logPath = argv[++i];
    } else {
      return Usage("bad argument");
    }
  }
  if (logPath != NULL && !OpenLogFile(logPath, "ab")) return Usage("cannot open log file");

  INITCOMMONCONTROLSEX controls;
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TAB_CLASSES;
  InitCommonControlsEx(&controls);

  HINSTANCE instance = GetModuleHandleA(NULL);
  if (!RegisterClasses(instance)) return CreateFailed("RegisterClass");

  int screenW = GetSystemMetrics(SM_CXSCREEN);
  int screenH = GetSystemMetrics(SM_CYSCREEN);
  tray = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, "",
                         WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, screenH - kTrayHeight, screenW,
                         kTrayHeight, NULL, NULL, instance, NULL);
  if (tray == NULL) return CreateFailed("CreateWindow tray");

  startButton =
      CreateWindowExA(0, "Button", "Start", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON,
                      2, 2, 54, 24, tray, ControlId(kStartId), instance, NULL);
  if (startButton == NULL) return CreateFailed("CreateWindow start");
  SetGuiFont(startButton);
  startProc = ReplaceWindowProc(startButton, StartProc);

  int taskW = screenW - 70;
  int taskH = 26;
  taskSwitch = CreateWindowExA(0, kTaskSwClass, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 60, 2,
                               taskW, taskH, tray, ControlId(kTaskSwId), instance, NULL);
  if (taskSwitch == NULL) return CreateFailed("CreateWindow tasksw");

  if (noTabs) {
    if (CreateStatic(instance, taskW, taskH) == NULL) return CreateFailed("CreateWindow static");
  } else {
    tabs = CreateTabs(instance, taskW, taskH);
    if (tabs == NULL) return CreateFailed("CreateWindow tabs");
  }

  ShowWindow(tray, SW_SHOWNOACTIVATE);
  UpdateWindow(tray);
  Log("READY tray=%s start=%s tasksw=%s tabs=%s", FormatHandle(tray).text,
      FormatHandle(startButton).text, FormatHandle(taskSwitch).text, FormatHandle(tabs).text);

  int exitCode = RunMessageLoop(NULL);
  CloseLogFile();
  return exitCode;
}
