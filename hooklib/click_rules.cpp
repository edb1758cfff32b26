#include "click_rules.h"

#include "../common/private_messages.h"
#include "../common/trigger.h"

// The Start menu opened from the popup is up: the click that ends it is reported, and
// right clicks are swallowed so that they neither reach a window nor request a popup.
static ClickDecision DecideInStartMenu(ButtonClass button, HookStates states,
                                       MenuTest isCursorOverMenu) {
  ClickDecision d = {0, states, 0};
  switch (button) {
    case LEFT_PRESS:
      if (!isCursorOverMenu()) {
        d.post = UM_START_CLICK;
        d.next.startMenu = 0;
      }
      break;
    case LEFT_RELEASE:
      d.next.startMenu = 0;
      break;
    case RIGHT_PRESS:
      if (!isCursorOverMenu()) d.post = UM_START_CLICK;
      d.result = 1;
      break;
    case RIGHT_RELEASE:
      if (!isCursorOverMenu()) d.next.startMenu = 0;
      d.result = 1;
      break;
    case RIGHT_DOUBLE:  // made a press or nothing by DecideClick
    case BUTTON_NONE:
      break;
  }
  return d;
}

// Under the Ctrl trigger, a right press with Ctrl held, off the task tabs, is the trigger:
// it is swallowed and remembered, so that its release is too, whatever Ctrl does meanwhile.
static void TakeRightPress(ClickDecision& d, bool onTaskTabs, int32_t trigger,
                           KeyTest isCtrlHeld) {
  if (trigger != TRIGGER_CTRL) return;
  d.next.triggerPress = !onTaskTabs && isCtrlHeld() ? 1 : 0;
  d.result = d.next.triggerPress;
}

// A popup was requested and may be showing: the next press reports it, except a right
// press on a menu, which is swallowed together with its release. A right press elsewhere
// that is the Ctrl trigger also starts the next popup.
static ClickDecision DecideWithPopup(ButtonClass button, HookStates states, bool onTaskTabs,
                                     MenuTest isCursorOverMenu, int32_t trigger,
                                     KeyTest isCtrlHeld) {
  ClickDecision d = {0, states, 0};
  switch (button) {
    case LEFT_PRESS:
      d.post = UM_POPUP_CLICK;
      d.next.extraMenu = 0;
      break;
    case RIGHT_PRESS:
      if (isCursorOverMenu()) {
        d.result = 1;
      } else {
        d.post = UM_POPUP_CLICK;
        d.next.extraMenu = 0;
        TakeRightPress(d, onTaskTabs, trigger, isCtrlHeld);
      }
      break;
    case RIGHT_RELEASE:
      d.result = isCursorOverMenu() ? 1 : 0;
      break;
    case LEFT_RELEASE:
    case RIGHT_DOUBLE:  // made a press or nothing by DecideClick
    case BUTTON_NONE:
      break;
  }
  return d;
}

// No popup outstanding, Ctrl trigger: only the trigger's press and release are taken.
static ClickDecision DecideCtrlTrigger(ButtonClass button, HookStates states, bool onTaskTabs,
                                       KeyTest isCtrlHeld) {
  ClickDecision d = {0, states, 0};
  if (button == RIGHT_PRESS) TakeRightPress(d, onTaskTabs, TRIGGER_CTRL, isCtrlHeld);
  if (button == RIGHT_RELEASE && states.triggerPress == 1) {
    d.post = UM_POPUP_REQUEST;
    d.next.extraMenu = 1;
    d.next.triggerPress = 0;
    d.result = 1;
    // The program that was clicked keeps the foreground; the popup needs it for the keyboard.
    d.allowForeground = true;
  }
  return d;
}

ClickDecision DecideClick(ButtonClass button, HookStates states, bool onTaskTabs,
                          MenuTest isCursorOverMenu, int32_t trigger, KeyTest isCtrlHeld) {
  if (button == RIGHT_DOUBLE) {
    button = trigger == TRIGGER_CTRL && states.startMenu != 1 ? RIGHT_PRESS : BUTTON_NONE;
  }
  if (states.startMenu == 1) return DecideInStartMenu(button, states, isCursorOverMenu);
  if (states.extraMenu == 1) {
    return DecideWithPopup(button, states, onTaskTabs, isCursorOverMenu, trigger, isCtrlHeld);
  }
  if (states.extraMenu == 0 && trigger == TRIGGER_CTRL) {
    return DecideCtrlTrigger(button, states, onTaskTabs, isCtrlHeld);
  }

  ClickDecision d = {0, states, 0};
  if (states.extraMenu == 0 && button == RIGHT_RELEASE && !onTaskTabs) {
    d.post = UM_POPUP_REQUEST;
    d.next.extraMenu = 1;
  }
  return d;
}
