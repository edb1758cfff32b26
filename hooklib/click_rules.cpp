#include "click_rules.h"

#include "../common/private_messages.h"

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
    case BUTTON_NONE:
      break;
  }
  return d;
}

// A popup was requested and may be showing: the next press reports it, except a right
// press on a menu, which is swallowed together with its release.
static ClickDecision DecideWithPopup(ButtonClass button, HookStates states,
                                     MenuTest isCursorOverMenu) {
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
      }
      break;
    case RIGHT_RELEASE:
      d.result = isCursorOverMenu() ? 1 : 0;
      break;
    case LEFT_RELEASE:
    case BUTTON_NONE:
      break;
  }
  return d;
}

ClickDecision DecideClick(ButtonClass button, HookStates states, bool onTaskTabs,
                          MenuTest isCursorOverMenu) {
  if (states.startMenu == 1) return DecideInStartMenu(button, states, isCursorOverMenu);
  if (states.extraMenu == 1) return DecideWithPopup(button, states, isCursorOverMenu);

  ClickDecision d = {0, states, 0};
  if (states.extraMenu == 0 && button == RIGHT_RELEASE && !onTaskTabs) {
    d.post = UM_POPUP_REQUEST;
    d.next.extraMenu = 1;
  }
  return d;
}
