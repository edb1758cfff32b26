#include "start_menu.h"

#include <windows.h>

#include "../hooklib/hook_interface.h"
#include "program_state.h"

// An auto-hiding taskbar first has to slide in before its button can be moved and pressed.
static UINT StepDelay(UINT autoHideDelay) { return Program.autoHide == 1 ? autoHideDelay : 50; }

void BeginStartMenu(void) {
  SignalHookStartMenu(1);
  Program.startPending = 1;
  POINT cursor;
  GetCursorPos(&cursor);
  if (Program.autoHide == 1) {
    PostMessageA(Program.hwndTray, WM_ACTIVATE, WA_ACTIVE,
                 reinterpret_cast<LPARAM>(Program.hwndTarget));
  }
  Program.startCursor = cursor;
  StartTimer(TIMER_MOVE_BUTTON, StepDelay(350));
}

// Moves the Start button so that its top-left corner is at `screen`, keeping its size.
static void MoveStartButton(POINT screen) {
  const RECT& r = Program.startButtonRect;
  ScreenToClient(Program.hwndTray, &screen);
  MoveWindow(Program.hwndStartButton, screen.x, screen.y, r.right - r.left, r.bottom - r.top, FALSE);
}

void OnMoveButtonTimer(void) {
  if (!KillTimerFirst(TIMER_MOVE_BUTTON)) return;
  GetWindowRect(Program.hwndStartButton, &Program.startButtonRect);
  MoveStartButton(Program.startCursor);
  StartTimer(TIMER_PRESS_BUTTON, StepDelay(100));
}

// The shell opens its Start menu next to wherever the button is when it handles the press.
void OnPressButtonTimer(void) {
  if (!KillTimerFirst(TIMER_PRESS_BUTTON)) return;
  SendMessageA(Program.hwndStartButton, WM_LBUTTONDOWN, 0, 0);
  StartTimer(TIMER_RESTORE_BUTTON, StepDelay(100));
}

void OnRestoreButtonTimer(void) {
  if (!KillTimerFirst(TIMER_RESTORE_BUTTON)) return;
  POINT corner = {Program.startButtonRect.left, Program.startButtonRect.top};
  MoveStartButton(corner);
}

void OnStartClick(void) {
  if (Program.startPending != 1) return;
  if (Program.autoHide == 1) {
    SetForegroundWindow(Program.hwndTray);
    SetForegroundWindow(Program.hwndTarget);
  } else {
    SetActiveWindow(Program.hwndMain);
    SetWindowPos(Program.hwndTarget, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  }
  Program.startPending = 0;
}

void OnStartCancel(void) {
  SignalHookStartMenu(0);
  Program.startPending = 0;
}
