// fakeshell.exe - imitation of the shells' taskbars for the end-to-end tests.
//
// Builds one layout of taskbar windows (--layout, a row of kLayouts) with the class names
// each shell uses; the taskbar "Shell_TrayWnd" is a WS_POPUP|WS_VISIBLE|WS_CLIPCHILDREN,
// WS_EX_TOPMOST|WS_EX_TOOLWINDOW window at (0, screenHeight-30, screenWidth, 30); the other
// windows are plain ones of their classes, except "Button" and "SysTabControl32" controls:
//   classic   95: a "Button" "Start" at client (2,2), 54x24, and a "MSTaskSwWClass" at
//             (60,2) whose first child is a "SysTabControl32" with tabs "Task one", "Task two"
//   no-tabs   the same with a "Static" in place of the tab control
//   rebar     98 and 2000: the task-switch window inside a "ReBarWindow32"
//   xp        as rebar, with a "ToolbarWindow32" as the task list
//   win7      the task list a "MSTaskListWClass"; the Start button a top-level "Button"
//   win10     8.1 and 10: a "Start" child at the origin
//   win11     as win10 but hidden, and a visible "InputSite" window in a content bridge
//             over the whole bar
//   secondary win10, and a "Shell_SecondaryTrayWnd" at the top of the screen with a
//             "Start" and a "WorkerW" holding a "MSTaskListWClass"
//   wine      a "Button" "Start" at (0,0) and one "Button" per task, all children of the bar
// Every Start button opens a menu on WM_LBUTTONDOWN: it returns at once after posting itself a
// private message; on that message it reads its current window rectangle and tracks a popup
// menu with TPM_LEFTALIGN|TPM_BOTTOMALIGN at (rect.left, rect.top). Once built, the shell
// announces its taskbar to every top-level window with the registered "TaskbarCreated"
// (--announce times in a row).
//
// Options:
//   --layout NAME   one of the layouts above (default classic)
//   --menu-in-press the Start button tracks its menu inside its WM_LBUTTONDOWN handler, so
//                   that a program that sent it the press waits until the menu closes
//   --announce N    announces the taskbar N times in a row (default 1)
//   --announce-on-move
//                   announces it again each time the Start button has been moved
//   --shell-window  also makes a hidden window of its own the shell's desktop window
//                   (SetShellWindow), as the shell that runs the desktop does
//   --log FILE      append log lines to FILE (LF line ends; every line is also written to
//                   stdout, where it ends in CR LF)
//
// Log lines ("<ms> EVENT args", ms since start):
//   READY tray=0x%08X start=0x%08X tasksw=0x%08X tabs=0x%08X buttons=0x%08X second=0x%08X
//         click=0x%08X
//     tabs: the task list as Pivotrix should find it (0 where there is none or no known one);
//     buttons: the window whose children are task buttons (wine: the bar); second: the
//     secondary taskbar's task list; click: a window whose right clicks are the shell's
//   SHELL_WINDOW 1|0                 (--shell-window: whether SetShellWindow took it)
//   START LBUTTONDOWN x y
//   START MOVED left top             (--announce-on-move: the button's screen corner)
//   STARTMENU_OPEN left top          (anchor = button rect left/top)
//   STARTMENU_BUSY                   (request while the menu is open)
//   STARTMENU_CLOSED cmd             (chosen id, 0 when dismissed)
//   TASKS RBUTTONDOWN x y / TASKS RBUTTONUP x y   (on a task list or task button; client
//                                                  coordinates)
//   CLOSE / DESTROY
// Runs until the tray window gets WM_CLOSE; exits with code 0.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tool_log.h"
#include "tool_window.h"

static const UINT kOpenStartMenu = WM_APP + 1;
static const int kTrayHeight = 30;
static const char kOptions[] =
    "[--layout NAME] [--menu-in-press] [--announce N] [--announce-on-move] [--shell-window] "
    "[--log FILE]";

// What a window of a layout is to the tests.
enum Role {
  kPart,        // nothing of its own
  kStart,       // the Start button
  kTaskSwitch,  // the task-switch window
  kTaskList,    // the task list, as Pivotrix should find it
  kTaskButton,  // a task button (Wine's), a child of the bar
  kSecondList,  // the secondary taskbar's task list
  kOddList,     // a task-switch window's first child that is no task list
};

// One window: its parent (an earlier row, or -1 for a top-level window), class and text,
// place (in the parent's client area; a top-level window's y counts from the bar's top,
// -1 for the top of the screen), whether it is shown, and its role. x = 60 and w = 0 stand
// for the rest of the parent's width after the Start button.
struct Part {
  int parent;
  const char* className;
  const char* text;
  int x, y, w, h;
  bool visible;
  Role role;
};

enum { MAX_PARTS = 10 };

struct Layout {
  const char* name;
  Part parts[MAX_PARTS];
};

#define BAR {-1, "Shell_TrayWnd", "", 0, 0, -1, kTrayHeight, true, kPart}
#define BUTTON_START(parent) {parent, "Button", "Start", 2, 2, 54, 24, true, kStart}
#define STAY_START(parent, shown) {parent, "Start", "Start", 2, 2, 54, 24, shown, kStart}
#define REBAR(parent, shown) {parent, "ReBarWindow32", "", 60, 0, 0, kTrayHeight, shown, kPart}
#define TASK_SWITCH(parent, x, y, shown) {parent, "MSTaskSwWClass", "", x, y, 0, 26, shown, kTaskSwitch}
#define LIST_IN(parent, cls, shown, role) {parent, cls, "", 0, 0, 0, 26, shown, role}

static const Layout kLayouts[] = {
    {"classic", {BAR, BUTTON_START(0), TASK_SWITCH(0, 60, 2, true),
                 LIST_IN(2, WC_TABCONTROLA, true, kTaskList)}},
    {"no-tabs", {BAR, BUTTON_START(0), TASK_SWITCH(0, 60, 2, true),
                 LIST_IN(2, "Static", true, kOddList)}},
    {"rebar", {BAR, BUTTON_START(0), REBAR(0, true), TASK_SWITCH(2, 0, 2, true),
               LIST_IN(3, WC_TABCONTROLA, true, kTaskList)}},
    {"xp", {BAR, BUTTON_START(0), REBAR(0, true), TASK_SWITCH(2, 0, 2, true),
            LIST_IN(3, "ToolbarWindow32", true, kTaskList)}},
    {"win7", {BAR, REBAR(0, true), TASK_SWITCH(1, 0, 2, true),
              LIST_IN(2, "MSTaskListWClass", true, kTaskList),
              {-1, "Button", "Start", 2, 2, 54, 24, true, kStart}}},
    {"win10", {BAR, STAY_START(0, true), REBAR(0, true), TASK_SWITCH(2, 0, 2, true),
               LIST_IN(3, "MSTaskListWClass", true, kTaskList)}},
    {"win11", {BAR, STAY_START(0, false), REBAR(0, false), TASK_SWITCH(2, 0, 2, false),
               LIST_IN(3, "MSTaskListWClass", false, kPart),
               {0, "Windows.UI.Composition.DesktopWindowContentBridge", "", 0, 0, -1,
                kTrayHeight, true, kPart},
               {5, "Windows.UI.Input.InputSite.WindowClass", "", 0, 0, -1, kTrayHeight, true,
                kTaskList}}},
    {"secondary", {BAR, STAY_START(0, true), REBAR(0, true), TASK_SWITCH(2, 0, 2, true),
                   LIST_IN(3, "MSTaskListWClass", true, kTaskList),
                   {-1, "Shell_SecondaryTrayWnd", "", 0, -1, -1, kTrayHeight, true, kPart},
                   STAY_START(5, true), {5, "WorkerW", "", 60, 0, 0, kTrayHeight, true, kPart},
                   LIST_IN(7, "MSTaskListWClass", true, kSecondList)}},
    {"wine", {BAR, {0, "Button", "Start", 0, 0, 54, kTrayHeight, true, kStart},
              {0, "Button", "Task one", 54, 0, 150, kTrayHeight, true, kTaskButton},
              {0, "Button", "Task two", 204, 0, 150, kTrayHeight, true, kTaskButton}}},
};

static HWND tray;
static const Layout* layout = &kLayouts[0];
static HWND windows[MAX_PARTS];
static WNDPROC ownProcs[MAX_PARTS];  // the subclassed windows' own procedures
static bool menuOpen;                // the Start menu is being tracked
static bool menuInPress;             // --menu-in-press
static bool announceOnMove;          // --announce-on-move

static void AnnounceTaskbar(void) {
  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

// The row of a window of the layout, or -1.
static int PartOf(HWND hwnd) {
  for (int i = 0; i < MAX_PARTS; ++i) {
    if (windows[i] == hwnd) return i;
  }
  return -1;
}

static HWND WindowWithRole(Role role) {
  for (int i = 0; i < MAX_PARTS && layout->parts[i].className != NULL; ++i) {
    if (layout->parts[i].role == role) return windows[i];
  }
  return NULL;
}

static LRESULT CallOwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  int part = PartOf(hwnd);
  if (part < 0 || ownProcs[part] == NULL) return DefWindowProcA(hwnd, message, wParam, lParam);
  return CallWindowProcA(ownProcs[part], hwnd, message, wParam, lParam);
}

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
  const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  if (message == WM_WINDOWPOSCHANGED && announceOnMove && (pos->flags & SWP_NOMOVE) == 0) {
    RECT r;
    GetWindowRect(hwnd, &r);
    Log("START MOVED %ld %ld", r.left, r.top);
    AnnounceTaskbar();
  }
  return CallOwnProc(hwnd, message, wParam, lParam);
}

static LRESULT CALLBACK TasksProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RBUTTONDOWN) {
    Log("TASKS RBUTTONDOWN %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  } else if (message == WM_RBUTTONUP) {
    Log("TASKS RBUTTONUP %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  }
  return CallOwnProc(hwnd, message, wParam, lParam);
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

// The system's controls that a layout uses as they are.
static bool IsControlClass(const char* name) {
  return lstrcmpiA(name, "Button") == 0 || lstrcmpiA(name, "Static") == 0 ||
         lstrcmpiA(name, WC_TABCONTROLA) == 0;
}

// The layout's other classes, registered plain in this program, also where the common
// controls have one of that name (a real rebar would lay out its children as bands).
static bool RegisterClasses(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(NULL, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  for (int i = 0; i < MAX_PARTS && layout->parts[i].className != NULL; ++i) {
    const char* name = layout->parts[i].className;
    if (IsControlClass(name)) continue;
    wc.lpfnWndProc = layout->parts[i].parent < 0 ? TrayProc : DefWindowProcA;
    wc.lpszClassName = name;
    // A class that an earlier row registered already is taken as it is.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  return true;
}

static HWND CreatePart(HINSTANCE instance, const Part& part, int screenW, int screenH) {
  HWND parent = part.parent < 0 ? NULL : windows[part.parent];
  RECT area = {0, 0, screenW, kTrayHeight};
  if (parent != NULL) GetClientRect(parent, &area);
  int w = part.w == -1 ? area.right : part.w == 0 ? area.right - part.x - 10 : part.w;
  DWORD style = (part.visible ? WS_VISIBLE : 0) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  int x = part.x;
  int y = part.y;
  DWORD exStyle = 0;
  if (parent == NULL) {
    style |= WS_POPUP;
    exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    y = part.y < 0 ? 0 : screenH - kTrayHeight + part.y;
  } else {
    style |= WS_CHILD;
  }
  HWND hwnd = CreateWindowExA(exStyle, part.className, part.text, style, x, y, w, part.h, parent,
                              NULL, instance, NULL);
  if (hwnd == NULL) return NULL;
  SetGuiFont(hwnd);
  if (lstrcmpiA(part.className, WC_TABCONTROLA) == 0) {
    char names[2][16] = {"Task one", "Task two"};
    for (int i = 0; i < 2; ++i) {
      TCITEMA item = {};
      item.mask = TCIF_TEXT;
      item.pszText = names[i];
      SendMessageA(hwnd, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
  }
  return hwnd;
}

static WNDPROC ProcFor(Role role) {
  switch (role) {
    case kStart: return StartProc;
    case kTaskList:
    case kTaskButton:
    case kSecondList: return TasksProc;
    default: return NULL;
  }
}

// A hidden window made the shell's desktop window, as the shell's own desktop is. The
// system exports SetShellWindow without declaring it.
static bool BecomeShellWindow(HINSTANCE instance) {
  typedef BOOL(WINAPI * SetShellWindowProc)(HWND);
  FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow");
  HWND desktop = CreateWindowExA(0, "Static", "Program Manager", WS_POPUP, 0, 0, 10, 10, NULL,
                                 NULL, instance, NULL);
  return found != NULL && desktop != NULL &&
         reinterpret_cast<SetShellWindowProc>(reinterpret_cast<void*>(found))(desktop);
}

// Exit code 3 for a window that could not be made.
static int CreateFailed(const char* what) {
  Log("ERROR %s %lu", what, GetLastError());
  return 3;
}

static int Usage(const char* what) { return UsageError("fakeshell", kOptions, what); }

int main(int argc, char** argv) {
  StartLogClock();
  const char* logPath = NULL;
  bool shellWindow = false;
  int announcements = 1;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--layout") == 0 && i + 1 < argc) {
      const char* name = argv[++i];
      layout = NULL;
      for (const Layout& known : kLayouts) {
        if (strcmp(known.name, name) == 0) layout = &known;
      }
      if (layout == NULL) return Usage("unknown layout");
    } else if (strcmp(argv[i], "--menu-in-press") == 0) {
      menuInPress = true;
    } else if (strcmp(argv[i], "--announce") == 0 && i + 1 < argc) {
      announcements = atoi(argv[++i]);
    } else if (strcmp(argv[i], "--announce-on-move") == 0) {
      announceOnMove = true;
    } else if (strcmp(argv[i], "--shell-window") == 0) {
      shellWindow = true;
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
  if (shellWindow) Log("SHELL_WINDOW %d", BecomeShellWindow(instance) ? 1 : 0);

  int screenW = GetSystemMetrics(SM_CXSCREEN);
  int screenH = GetSystemMetrics(SM_CYSCREEN);
  for (int i = 0; i < MAX_PARTS && layout->parts[i].className != NULL; ++i) {
    const Part& part = layout->parts[i];
    windows[i] = CreatePart(instance, part, screenW, screenH);
    if (windows[i] == NULL) return CreateFailed(part.className);
    WNDPROC proc = ProcFor(part.role);
    if (proc != NULL) ownProcs[i] = ReplaceWindowProc(windows[i], proc);
  }
  tray = windows[0];

  ShowWindow(tray, SW_SHOWNOACTIVATE);
  UpdateWindow(tray);
  HWND taskButton = WindowWithRole(kTaskButton);
  HWND click = taskButton != NULL ? taskButton : WindowWithRole(kTaskList);
  if (WindowWithRole(kSecondList) != NULL) click = WindowWithRole(kSecondList);
  Log("READY tray=%s start=%s tasksw=%s tabs=%s buttons=%s second=%s click=%s",
      FormatHandle(tray).text, FormatHandle(WindowWithRole(kStart)).text,
      FormatHandle(WindowWithRole(kTaskSwitch)).text, FormatHandle(WindowWithRole(kTaskList)).text,
      FormatHandle(taskButton != NULL ? tray : NULL).text,
      FormatHandle(WindowWithRole(kSecondList)).text, FormatHandle(click).text);
  for (int i = 0; i < announcements; ++i) AnnounceTaskbar();

  int exitCode = RunMessageLoop(NULL);
  CloseLogFile();
  return exitCode;
}
