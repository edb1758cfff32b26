// The system-wide mouse hook procedure. It runs inside every process that handles mouse
// input, before the message reaches its window, so the common case (a move) returns at
// once, decided from the message number alone (HandleMouseEvent).
#include "hook_interface.h"

#include <stddef.h>

#include "../common/menu_window.h"
#include "hook_event.h"
#include "hook_shared.h"

static_assert(offsetof(MOUSEHOOKSTRUCT, pt.x) == offsetof(MouseEventRecord, x) &&
                  offsetof(MOUSEHOOKSTRUCT, pt.y) == offsetof(MouseEventRecord, y) &&
                  offsetof(MOUSEHOOKSTRUCT, hwnd) == offsetof(MouseEventRecord, window) &&
                  sizeof(HWND) == sizeof(uintptr_t) && sizeof(LONG) == sizeof(int32_t),
              "MouseEventRecord reads the system's MOUSEHOOKSTRUCT");

static void PostToNotify(int32_t notify, uint32_t message, uint16_t window, uint32_t point) {
  PostMessageA(SharedToHandle(notify), message, window, static_cast<LPARAM>(point));
}

static bool CursorOverMenu(void) { return IsCursorOverMenu(); }

// hHook is null in every process but the installing one, and is passed as such.
static intptr_t NextHook(int code, uint16_t message, intptr_t lParam) {
  return CallNextHookEx(hHook, code, message, lParam);
}

// The key's state now, not as this thread last read its messages: Ctrl went to the window
// with the keyboard focus, which may be another program's, or stop being this thread's
// before the key comes up again.
static bool CtrlHeld(void) { return GetAsyncKeyState(VK_CONTROL) < 0; }

static void AllowForeground(int32_t notify) {
  DWORD process = 0;
  if (GetWindowThreadProcessId(SharedToHandle(notify), &process) != 0) {
    AllowSetForegroundWindow(process);
  }
}

static int32_t ParentOf(uintptr_t window) {
  return HandleToShared(GetParent(reinterpret_cast<HWND>(window)));
}

static const HookSeams kSystem = {PostToNotify, CursorOverMenu, NextHook, CtrlHeld,
                                  AllowForeground, ParentOf};

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  return HandleMouseEvent(code, wParam, lParam, shared, currentEvent, kSystem);
}
