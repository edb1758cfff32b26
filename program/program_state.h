// The menu program's one state record, and its timers.
#ifndef PIVOTRIX_PROGRAM_PROGRAM_STATE_H
#define PIVOTRIX_PROGRAM_PROGRAM_STATE_H

#include <windows.h>
#include <stdint.h>

#include "../common/trigger.h"
#include "../hooklib/shared_block.h"
#include "settings_rules.h"

// Timers of the main window; each is one-shot in use (killed first by its handler).
enum TimerId : UINT_PTR {
  TIMER_STARTUP = 1,         // 100 ms after creation: find the taskbar, install the hook
  TIMER_MOVE_BUTTON = 7,     // Start item chosen: move the Start button under the cursor
  TIMER_PRESS_BUTTON = 8,    // press it
  TIMER_RESTORE_BUTTON = 9,  // put it back
  TIMER_POPUP = 10,          // 10 ms after a popup request: show the popup
};

struct ProgramState {
  HINSTANCE hInstance;
  HWND hwndMain;
  const char* titleVersion;
  WCHAR iniPath[SETTINGS_PATH_SIZE];  // UTF-16, so that any folder's name is kept whole
  WCHAR helpDir[SETTINGS_DIR_SIZE];
  int32_t screenWidth;
  int32_t screenHeight;

  // Settings, as read from the settings file (any value, not only 0 and 1).
  int32_t enabled;
  int32_t extraItems;
  int32_t menuSize;
  int32_t trigger;  // TRIGGER_CTRL: Ctrl + right click brings the popup, else any right click

  // Taskbar.
  int32_t autoHide;
  HWND hwndTray;
  HWND hwndStartButton;
  HWND hwndTaskTabs;     // the task list, whatever its class
  HWND hwndTaskButtons;  // Wine's taskbar: its children but the Start button are task buttons
  HWND hwndMoreTaskLists[MORE_TASK_LISTS];  // the secondary taskbars' task lists
  int32_t moreTaskLists;
  // 1 when the shell's Start menu can be brought to the mouse by moving its button: a
  // "Button" child at the taskbar's origin and a task-switch window under the taskbar.
  int32_t classicTaskbar;
  UINT taskbarCreated;  // the message a restarted shell broadcasts, "TaskbarCreated"
  int32_t taskListBoxOpen;  // the box that says no task list was found is up

  // Popup menu.
  HWND hwndTarget;
  int32_t popupBusy;
  int32_t popupQueued;  // accepted and waiting for TIMER_POPUP
  uint16_t pendingWindow;
  uint32_t pendingPoint;
  RECT pendingMonitor;  // the monitor under pendingPoint, looked up with the request
  HMENU hmenuPopup;

  // Start menu at the cursor.
  int32_t startPending;
  POINT startCursor;
  RECT startButtonRect;
  int32_t startButtonMoved;  // the button stands at the cursor, startButtonRect is its home
  HWND hwndMovedButton;      // the button that the sequence moved, pressed and puts back
  struct OwnMenu* ownMenu;   // the program's own Start menu while it is shown, else null
  HWND hwndFind;             // the own Start menu's Find box while it is shown, else null

  HMENU hmenuSystem;

  // Menu pictures, loaded at window creation and drawn again for a monitor of another DPI.
  uint32_t pictureDpi;     // the DPI they are drawn for
  FARPROC dpiForMonitor;   // shcore's GetDpiForMonitor (Windows 8.1 and later), or null
  HBITMAP bmpMenuStart;
  HBITMAP bmpMenuStartSmall;
  HBITMAP bmpFreeSpot;
  HBITMAP bmpRestore;
  HBITMAP bmpMaximize;
  HBITMAP bmpMinimize;
  HBITMAP bmpClose;
};

extern ProgramState Program;

// Starts a timer of the main window. When that fails the program ends: WM_CLOSE is posted,
// so that the shut-down runs from the main window's own message, never from inside the
// handler that wanted the timer.
void StartTimer(TimerId timer, UINT milliseconds);

// Kills a timer at the start of its handler. False when that failed: WM_CLOSE is posted as
// above, and the handler must not do its work.
bool KillTimerFirst(TimerId timer);

#endif
