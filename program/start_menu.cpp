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

// Moves the button that the sequence moved so that its top-left corner is at `screen`,
// keeping its size.
static void MoveStartButton(POINT screen) {
  const RECT& r = Program.startButtonRect;
  ScreenToClient(Program.hwndTray, &screen);
  // MoveWindow without repainting, but asked of the shell's thread without waiting for it,
  // like the press that follows it there.
  SetWindowPos(Program.hwndMovedButton, NULL, screen.x, screen.y, r.right - r.left,
               r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_ASYNCWINDOWPOS);
}

// The button's home is read once per move: a second sequence started while the button still
// stands at the cursor keeps the first one's home. The read fails without a Start button
// (no taskbar found, or the shell just went away). From here on the sequence works on the
// button it moved, whatever a new reading of the taskbar finds meanwhile ("TaskbarCreated"
// may arrive at any step), so that the button it pressed is the one it puts back.
void OnMoveButtonTimer(void) {
  if (!KillTimerFirst(TIMER_MOVE_BUTTON)) return;
  if (Program.startButtonMoved != 1) {
    if (!GetWindowRect(Program.hwndStartButton, &Program.startButtonRect)) {
      CancelSequence();
      return;
    }
    Program.hwndMovedButton = Program.hwndStartButton;
  }
  MoveStartButton(Program.startCursor);
  Program.startButtonMoved = 1;
  StartTimer(TIMER_PRESS_BUTTON, StepDelay(100));
}

// Called, on this thread, once the button has handled the press.
static VOID CALLBACK OnPressHandled(HWND, UINT, ULONG_PTR, LRESULT) {
  StartTimer(TIMER_RESTORE_BUTTON, StepDelay(100));
}

// The shell opens its Start menu next to wherever the button is when it handles the press.
// The button is put back once it has handled it; meanwhile this thread goes on handling
// messages, as a shell may keep the press until its menu closes, and the hook's calls for
// the programs of the other word size run on this thread. A button that is gone ends the
// sequence.
void OnPressButtonTimer(void) {
  if (!KillTimerFirst(TIMER_PRESS_BUTTON)) return;
  if (SendMessageCallbackA(Program.hwndMovedButton, WM_LBUTTONDOWN, 0, 0, OnPressHandled, 0)) return;
  PutStartButtonBack();
  CancelSequence();
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
    // Asked of the target's thread without waiting for it: a program that hangs must not
    // hang Pivotrix, whose thread serves the hook for 32-bit programs on 64-bit Windows.
    SetWindowPos(Program.hwndTarget, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS);
  }
  Program.startPending = 0;
}

void OnStartCancel(void) {
  SignalHookStartMenu(0);
  Program.startPending = 0;
}
