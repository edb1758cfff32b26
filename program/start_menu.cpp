#include "start_menu.h"

#include <windows.h>

#include "../hooklib/hook_interface.h"
#include "own_start_menu.h"
#include "program_state.h"

// An auto-hiding taskbar first has to slide in before its button can be moved and pressed.
static UINT StepDelay(UINT autoHideDelay) { return Program.autoHide == 1 ? autoHideDelay : 50; }

// Ends a sequence that can't go on: nothing is moved, and the hook stops watching for the
// click that would end a Start menu that never opened.
static void CancelSequence(void) {
  SignalHookStartMenu(0);
  Program.startPending = 0;
}

void BeginStartMenu(void) {
  // Only the classic taskbar opens its Start menu next to wherever its button stands; on any
  // other shell, or with no taskbar, the program shows a Start menu of its own at the cursor.
  if (Program.classicTaskbar != 1) {
    ShowOwnStartMenu();
    return;
  }
  SignalHookStartMenu(1);
  Program.startPending = 1;
  POINT cursor;
  if (!GetCursorPos(&cursor)) {
    CancelSequence();
    return;
  }
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

// The button's home is read once per move: a second sequence started while the button still
// stands at the cursor keeps the first one's home. The read fails without a Start button
// (no taskbar found, or the shell just went away).
void OnMoveButtonTimer(void) {
  if (!KillTimerFirst(TIMER_MOVE_BUTTON)) return;
  if (Program.startButtonMoved != 1 &&
      !GetWindowRect(Program.hwndStartButton, &Program.startButtonRect)) {
    CancelSequence();
    return;
  }
  MoveStartButton(Program.startCursor);
  Program.startButtonMoved = 1;
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
  PutStartButtonBack();
}

void PutStartButtonBack(void) {
  if (Program.startButtonMoved != 1) return;
  POINT corner = {Program.startButtonRect.left, Program.startButtonRect.top};
  MoveStartButton(corner);
  Program.startButtonMoved = 0;
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
