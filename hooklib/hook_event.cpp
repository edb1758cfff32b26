#include "hook_event.h"

#include "../common/private_messages.h"

// Whether right clicks on the window are left to the shell: a taskbar's task list, or one
// of Wine's task buttons. A left button's event never needs to know.
static bool IsOnTaskList(ButtonClass button, int32_t window, const SharedBlock& shared,
                         const HookSeams& seams) {
  if (button == LEFT_PRESS || button == LEFT_RELEASE) return false;
  if (window == shared.hwndTaskTabs) return true;
  for (int i = 0; i < MORE_TASK_LISTS; ++i) {
    if (shared.hwndMoreTaskLists[i] != 0 && window == shared.hwndMoreTaskLists[i]) return true;
  }
  int32_t buttons = shared.hwndTaskButtons;
  return buttons != 0 && window != shared.hwndStartButton && window != buttons &&
         seams.parentOf(static_cast<uintptr_t>(static_cast<intptr_t>(window))) == buttons;
}

// Kept out of line: the registers that a press or release needs would otherwise be saved
// and restored on every move too.
__attribute__((noinline)) static intptr_t HandleButton(ButtonClass button, intptr_t lParam,
                                                       SharedBlock& shared,
                                                       const HookSeams& seams) {
  const MouseEventRecord* event = reinterpret_cast<const MouseEventRecord*>(lParam);
  HookStates states = {shared.extraMenuState, shared.startMenuState, shared.triggerPress};
  // The full handle, as the shared block keeps it (32 bits; see SharedBlock).
  bool onTaskTabs = IsOnTaskList(button, static_cast<int32_t>(event->window), shared, seams);
  ClickDecision d = DecideClick(button, states, onTaskTabs, seams.isCursorOverMenu,
                                shared.trigger, seams.isCtrlHeld);

  if (d.allowForeground) seams.allowForeground(shared.hwndNotify);
  if (d.post != 0) {
    uint32_t point = d.post == UM_POPUP_REQUEST ? PackPoint(event->x, event->y) : 0;
    seams.post(shared.hwndNotify, d.post, HandleLow16(event->window), point);
  }
  if (d.next.extraMenu != states.extraMenu) shared.extraMenuState = d.next.extraMenu;
  if (d.next.startMenu != states.startMenu) shared.startMenuState = d.next.startMenu;
  if (d.next.triggerPress != states.triggerPress) shared.triggerPress = d.next.triggerPress;
  shared.hookResult = d.result;
  return d.result;
}

intptr_t HandleMouseEvent(int code, uintptr_t wParam, intptr_t lParam, SharedBlock& shared,
                          intptr_t& currentEvent, const HookSeams& seams) {
  uint16_t message = static_cast<uint16_t>(wParam & 0xFFFFu);
  if (code < 0) return seams.callNextHook(code, message, lParam);
  // Codes of 0 or more get this hook's decision alone: calling on would let whichever hook
  // comes next replace it, and a swallowed right click must stay swallowed. Hooks installed
  // before this one see no mouse events meanwhile (the README says so).

  // currentEvent is one variable for the whole process, and another of its threads may be
  // in here at the same moment: the decision and the report read this call's own record.
  shared.hookResult = 0;
  currentEvent = lParam;
  ButtonClass button = ClassifyMouseMessage(message);
  if (button == BUTTON_NONE) return 0;
  return HandleButton(button, lParam, shared, seams);
}
