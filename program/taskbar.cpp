#include "taskbar.h"

#include <shellapi.h>

#include "../hooklib/shared_block.h"
#include "program_state.h"
#include "taskbar_rules.h"

// A window whose class can't be read (null, or just destroyed) matches no class name.
static bool HasClass(HWND hwnd, const char* className) {
  char name[32];
  if (GetClassNameA(hwnd, name, 30) == 0) return false;
  return lstrcmpiA(name, className) == 0;
}

// Other programs (taskbar replacements, status bars) create windows of the taskbar's class
// too. The shell's own is the one of the process that owns the shell's desktop window
// (lParam); where there is no such window or none of its taskbars, the first one found.
extern "C" BOOL CALLBACK CheckWindows(HWND hwnd, LPARAM lParam) {
  if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) return TRUE;
  if (!HasClass(hwnd, "Shell_TrayWnd")) return TRUE;
  if (Program.hwndTray == NULL) Program.hwndTray = hwnd;
  DWORD shellProcess = static_cast<DWORD>(lParam);
  if (shellProcess == 0) return FALSE;
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != shellProcess) return TRUE;
  Program.hwndTray = hwnd;
  return FALSE;
}

static HWND ToHandle(WindowId window) { return reinterpret_cast<HWND>(window); }

static WindowId ToId(HWND hwnd) { return reinterpret_cast<WindowId>(hwnd); }

static WindowId FirstChild(const void*, WindowId window) {
  return ToId(GetWindow(ToHandle(window), GW_CHILD));
}

static WindowId NextSibling(const void*, WindowId window) {
  return ToId(GetWindow(ToHandle(window), GW_HWNDNEXT));
}

static TaskbarClass ClassOf(const void*, WindowId window) {
  char name[64];
  if (GetClassNameA(ToHandle(window), name, sizeof name) == 0) return CLASS_OTHER;
  return ClassifyTaskbarClass(name);
}

// The context is the taskbar whose client origin counts. The Start button that the Start
// sequence moved counts at its home.
static bool AtOrigin(const void* tray, WindowId window) {
  RECT rect;
  if (!GetWindowRect(ToHandle(window), &rect)) return false;
  WindowId moved = Program.startButtonMoved == 1 ? ToId(Program.hwndMovedButton) : 0;
  ScreenCorner home = {Program.startButtonRect.left, Program.startButtonRect.top};
  ScreenCorner at = CornerForReading(window, {rect.left, rect.top}, moved, home);
  POINT corner = {at.x, at.y};
  ScreenToClient(static_cast<HWND>(const_cast<void*>(tray)), &corner);
  return corner.x < 5 && corner.y < 5;
}

static bool Visible(const void*, WindowId window) { return IsWindowVisible(ToHandle(window)) != 0; }

// Windows 7's Start button: a top-level "Button" window of the taskbar's thread.
static BOOL CALLBACK TakeThreadButton(HWND hwnd, LPARAM found) {
  if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) || !HasClass(hwnd, "Button")) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

static TaskbarFound ReadTaskbarWindows(HWND tray, bool withThreadButton) {
  HWND threadButton = NULL;
  if (withThreadButton && tray != NULL) {
    EnumThreadWindows(GetWindowThreadProcessId(tray, NULL), TakeThreadButton,
                      reinterpret_cast<LPARAM>(&threadButton));
  }
  TaskbarTree tree = {FirstChild, NextSibling, ClassOf, AtOrigin, Visible, tray};
  return ReadTaskbar(ToId(tray), ToId(threadButton), tree);
}

// The taskbars of the other monitors, each with a task list of its own.
static void FindSecondaryTaskLists(void) {
  Program.moreTaskLists = 0;
  HWND secondary = NULL;
  while (Program.moreTaskLists < MORE_TASK_LISTS &&
         (secondary = FindWindowExA(NULL, secondary, "Shell_SecondaryTrayWnd", NULL)) != NULL) {
    HWND list = ToHandle(ReadTaskbarWindows(secondary, false).taskList);
    if (list != NULL) Program.hwndMoreTaskLists[Program.moreTaskLists++] = list;
  }
}

void FindTaskbarWindows(void) {
  Program.hwndTray = NULL;
  Program.hwndStartButton = NULL;
  Program.hwndTaskTabs = NULL;
  DWORD shellProcess = 0;
  HWND shell = GetShellWindow();
  if (shell != NULL) GetWindowThreadProcessId(shell, &shellProcess);
  EnumWindows(CheckWindows, static_cast<LPARAM>(shellProcess));

  TaskbarFound found = ReadTaskbarWindows(Program.hwndTray, true);
  Program.hwndStartButton = ToHandle(found.startButton);
  Program.hwndTaskTabs = ToHandle(found.taskList);
  Program.hwndTaskButtons = ToHandle(found.taskButtonsParent);
  Program.classicTaskbar = found.layout == LAYOUT_CLASSIC ? 1 : 0;
  FindSecondaryTaskLists();
  // Shown once at a time: a flood of "TaskbarCreated" arrives in the box's own message loop,
  // and each reading there would open another box inside the last one.
  if (found.taskListMissing && Program.taskListBoxOpen != 1) {
    Program.taskListBoxOpen = 1;
    MessageBoxA(Program.hwndMain,
                "Can't find hWnd to 'SysTabControl32'!, which means that 'Pivotrix' also "
                "pops up on icons in SystemTaskBar.",
                "Error", MB_OK);
    Program.taskListBoxOpen = 0;
  }
}

UINT RefreshAutoHide(void) {
  APPBARDATA data = {};
  data.cbSize = sizeof data;
  data.hWnd = NULL;
  UINT state = static_cast<UINT>(SHAppBarMessage(ABM_GETSTATE, &data));
  Program.autoHide = (state & ABS_AUTOHIDE) ? 1 : 0;
  return state;
}
