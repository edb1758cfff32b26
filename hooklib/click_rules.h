// The hook's click state machine over plain values: which button class a mouse message
// falls into, and what a press or release does in the current states.
#ifndef PIVOTRIX_HOOKLIB_CLICK_RULES_H
#define PIVOTRIX_HOOKLIB_CLICK_RULES_H

#include <stdint.h>

#include "../common/trigger.h"

enum ButtonClass {
  BUTTON_NONE,  // moves, middle button, left double clicks: never change anything
  LEFT_PRESS,
  LEFT_RELEASE,
  RIGHT_PRESS,
  RIGHT_RELEASE,
  RIGHT_DOUBLE,  // the second press of a quick right click: a press for the Ctrl trigger only
};

// Client-area and non-client-area messages fall into the same class. Inline: the hook asks
// it for every event, moves included.
inline ButtonClass ClassifyMouseMessage(uint32_t message) {
  switch (message) {
    case 0x0201:  // WM_LBUTTONDOWN
    case 0x00A1:  // WM_NCLBUTTONDOWN
      return LEFT_PRESS;
    case 0x0202:  // WM_LBUTTONUP
    case 0x00A2:  // WM_NCLBUTTONUP
      return LEFT_RELEASE;
    case 0x0204:  // WM_RBUTTONDOWN
    case 0x00A4:  // WM_NCRBUTTONDOWN
      return RIGHT_PRESS;
    case 0x0205:  // WM_RBUTTONUP
    case 0x00A5:  // WM_NCRBUTTONUP
      return RIGHT_RELEASE;
    case 0x0206:  // WM_RBUTTONDBLCLK
    case 0x00A6:  // WM_NCRBUTTONDBLCLK
      return RIGHT_DOUBLE;
    default:
      return BUTTON_NONE;
  }
}

struct HookStates {
  int32_t extraMenu;     // 1 while a popup request is outstanding
  int32_t startMenu;     // 1 while the Start menu opened from the popup is watched
  int32_t triggerPress = 0;  // 1 from a right press taken as the Ctrl trigger to its release
};

struct ClickDecision {
  uint32_t post;         // private message to post to the main window, or 0
  HookStates next;       // states after the event
  int32_t result;        // 0 let the message through, 1 swallow it
  bool allowForeground = false;  // with a popup request: let Pivotrix take the foreground
};

// Asked only on the rows whose outcome depends on them: each costs a system call.
typedef bool (*MenuTest)(void);
typedef bool (*KeyTest)(void);

// onTaskTabs: the event's window is the taskbar's task tabs (full-handle comparison).
// trigger: TRIGGER_ANY (any right release requests the popup, as ever) or TRIGGER_CTRL (a
// right press with Ctrl held and its release are kept from the program, and the release
// requests the popup; other right clicks pass untouched). The Ctrl test is asked only on
// right presses under TRIGGER_CTRL; a release follows what its press was. A right double
// click's press is the press of a second click in quick succession: under TRIGGER_CTRL it
// counts as a right press (but while the Start menu is watched), and otherwise as nothing.
ClickDecision DecideClick(ButtonClass button, HookStates states, bool onTaskTabs,
                          MenuTest isCursorOverMenu, int32_t trigger = TRIGGER_ANY,
                          KeyTest isCtrlHeld = nullptr);

#endif
