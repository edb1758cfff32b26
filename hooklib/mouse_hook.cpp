// The system-wide mouse hook procedure. It runs inside every process that handles mouse
// input, before the message reaches its window, so the common case (a move) returns at
// once, decided from the message number alone.
#include "hook_interface.h"

#include "../common/menu_window.h"
#include "../common/private_messages.h"
#include "click_rules.h"
#include "hook_shared.h"

static bool CursorOverMenu(void) { return IsCursorOverMenu(); }

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0) return CallNextHookEx(hHook, code, LOWORD(wParam), lParam);

  // currentEvent is one variable for the whole process, and another of its threads may be
  // in here at the same moment: the decision and the report read this call's own record.
  const MOUSEHOOKSTRUCT* event = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
  shared.hookResult = 0;
  currentEvent = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);

  ButtonClass button = ClassifyMouseMessage(LOWORD(wParam));
  if (button == BUTTON_NONE) return 0;

  HookStates states = {shared.extraMenuState, shared.startMenuState};
  bool onTaskTabs = HandleToShared(event->hwnd) == shared.hwndTaskTabs;
  ClickDecision d = DecideClick(button, states, onTaskTabs, CursorOverMenu);

  if (d.post != 0) {
    HWND notify = SharedToHandle(shared.hwndNotify);
    WPARAM window = HandleLow16(reinterpret_cast<uintptr_t>(event->hwnd));
    LPARAM point = 0;
    if (d.post == UM_POPUP_REQUEST) point = PackPoint(event->pt.x, event->pt.y);
    PostMessageA(notify, d.post, window, point);
  }
  if (d.next.extraMenu != states.extraMenu) shared.extraMenuState = d.next.extraMenu;
  if (d.next.startMenu != states.startMenu) shared.startMenuState = d.next.startMenu;
  shared.hookResult = d.result;
  return d.result;
}
