#include "program_state.h"

ProgramState Program;

void StartTimer(TimerId timer, UINT milliseconds) {
  if (SetTimer(Program.hwndMain, timer, milliseconds, NULL) != 0) return;
  PostMessageA(Program.hwndMain, WM_CLOSE, 0, 0);
}

bool KillTimerFirst(TimerId timer) {
  if (KillTimer(Program.hwndMain, timer)) return true;
  PostMessageA(Program.hwndMain, WM_CLOSE, 0, 0);
  return false;
}
