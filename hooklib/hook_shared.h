// The hook library's state: the block shared by every process that maps the library,
// and the variables each process keeps for itself.
#ifndef PIVOTRIX_HOOKLIB_HOOK_SHARED_H
#define PIVOTRIX_HOOKLIB_HOOK_SHARED_H

#include <windows.h>
#include <stdint.h>

#include "shared_block.h"

// One copy for all processes, in the shared section SHARDATA.
extern SharedBlock shared;

// Per process: set by InstallMouseHook only in the process that installs the hook.
extern HHOOK hHook;
extern HOOKPROC hookProc;

// Per process: the address of the event record being handled, as lParam carried it. Nothing
// reads it; it stays as one of the library's per-process variables, whose set is fixed.
extern intptr_t currentEvent;

inline int32_t HandleToShared(HWND hwnd) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd));
}

inline HWND SharedToHandle(int32_t value) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}

#endif
