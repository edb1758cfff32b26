#include "main_window.h"

#include "../common/private_messages.h"
#include "../hooklib/hook_interface.h"
#include "control_menu.h"
#include "message_filter.h"
#include "own_start_menu.h"
#include "popup_menu.h"
#include "program_state.h"
#include "resource.h"
#include "settings.h"
#include "start_menu.h"
#include "taskbar.h"

static const char kClassName[] = "PIVOTRIX";

// Runs once, for WM_DESTROY: the main window's close, or a timer that failed (WM_CLOSE).
static void RunShutDown(void) {
  PutStartButtonBack();
  FreePopupPictures();
  if (Program.enabled == 1) UninstallMouseHook();
  PostQuitMessage(0);
}

static LRESULT OnCreate(HWND hwnd) {
  Program.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  Program.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  Program.hwndMain = hwnd;
  AllowPrivateMessages(hwnd);
  Program.popupBusy = 0;
  Program.startPending = 0;
  ReadSettings();
  SignalHookTrigger(Program.trigger);
  BuildControlMenu();
  LoadPopupPictures();
  StartTimer(TIMER_STARTUP, 100);
  return 0;
}

// Finds the taskbar's windows and hands them to the hook library.
static void FindTaskbar(void) {
  FindTaskbarWindows();
  RefreshAutoHide();
  SignalHookHandles(Program.hwndTray, Program.hwndStartButton, Program.hwndTaskTabs);
  SignalHookTaskLists(Program.hwndTaskButtons, Program.hwndMoreTaskLists, Program.moreTaskLists);
}

static void OnStartupTimer(void) {
  if (!KillTimerFirst(TIMER_STARTUP)) return;
  FindTaskbar();
  if (Program.enabled == 1) InstallMouseHook(Program.hwndMain);
}

static void OnTimer(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case TIMER_STARTUP: OnStartupTimer(); break;
    case TIMER_MOVE_BUTTON: OnMoveButtonTimer(); break;
    case TIMER_PRESS_BUTTON: OnPressButtonTimer(); break;
    case TIMER_RESTORE_BUTTON: OnRestoreButtonTimer(); break;
    case TIMER_POPUP: OnPopupTimer(); break;
    default: break;
  }
}

static void OnSettingChange(LPARAM lParam) {
  const char* section = reinterpret_cast<const char*>(lParam);
  if (section != NULL && lstrcmpiA(section, "Windows") == 0) RefreshAutoHide();
}

// The own Start menu's messages go to it while it is shown, and to the default otherwise.
static LRESULT OnMenuMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnOwnStartMenuMessage(message, wParam, lParam, &result)) return result;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

extern "C" LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // A restarted shell has new taskbar windows; the hook stays as it is.
  if (message == Program.taskbarCreated && message != 0) {
    FindTaskbar();
    return 0;
  }
  switch (message) {
    case WM_CREATE: return OnCreate(hwnd);
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY: RunShutDown(); return 0;
    case WM_QUERYOPEN: return 0;  // the window stays a minimized button
    case WM_WININICHANGE: OnSettingChange(lParam); return 0;
    case WM_COMMAND: OnPopupCommand(LOWORD(wParam), lParam); return 0;
    case WM_SYSCOMMAND:
      if (OnControlCommand(LOWORD(wParam))) return 0;
      return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_INITMENUPOPUP:  // the high word is TRUE for the system menu, not for the popup
      if (HIWORD(lParam)) OnControlMenuOpen();
      return OnMenuMessage(hwnd, message, wParam, lParam);
    case WM_TIMER: OnTimer(wParam); return 0;
    case UM_POPUP_NOW: OnPopupNow(wParam, lParam); return 0;
    case UM_POPUP_REQUEST: OnPopupRequest(wParam, lParam); return 0;
    case UM_POPUP_CLICK: OnPopupClick(); return 0;
    case UM_START_CLICK: OnStartClick(); return 0;
    case UM_START_CANCEL: OnStartCancel(); return 0;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUCHAR:
    case WM_ENTERIDLE:
    case UM_ICONS_READY:
    case UM_FOLDER_LISTED: return OnMenuMessage(hwnd, message, wParam, lParam);
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

static bool RegisterMainClass(HINSTANCE hInstance) {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = hInstance;
  wc.hIcon = LoadIconA(hInstance, "PIVOTRIXICON");
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0;
}

// True when another Pivotrix already runs in this session. The mutex stays owned by this
// process's handle until it ends, also when it is killed.
static bool AnotherInstanceRuns(void) {
  HANDLE running = CreateMutexA(NULL, FALSE, "Local\\PIVOTRIX");
  return running != NULL && GetLastError() == ERROR_ALREADY_EXISTS;
}

// The command line and the show command are ignored: the window always starts as a
// minimized button that does not take the focus. A second start leaves the running one in
// charge: one taskbar button, one hook and one notify window in the library's shared block.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int) {
  if (AnotherInstanceRuns()) return 0;
  if (hPrevInstance == NULL && !RegisterMainClass(hInstance)) return 0;
  Program.enabled = 0;
  Program.extraItems = 0;
  Program.menuSize = 0;
  Program.autoHide = 0;
  Program.titleVersion = "Pivotrix v.95.1";
  Program.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  WorkOutSettingsPath();
  Program.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  Program.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  Program.hInstance = hInstance;

  // The Startup shortcut is read (from window creation on) and written through the shell's
  // objects, on this one thread.
  HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  HWND hwnd = CreateWindowExA(0, kClassName, "Pivotrix", WS_SYSMENU | WS_MINIMIZEBOX, 40, 40,
                              100, 100, NULL, NULL, hInstance, NULL);
  if (hwnd == NULL) return 0;
  Program.hwndMain = hwnd;
  ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
  UpdateWindow(hwnd);

  // The wide functions, so that a letter typed into the Find box's text field (a window
  // of the wide functions) keeps letters outside the system's code page; the main window
  // gets its messages converted as before.
  MSG msg = {};
  // GetMessageW returns -1 on failure; stop then too rather than spin on it.
  while (GetMessageW(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return static_cast<int>(msg.wParam);
}
