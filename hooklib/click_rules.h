// The hook's click state machine over plain values: which button class a mouse message
// falls into, and what a press or release does in the current states.
#ifndef PIVOTRIX_HOOKLIB_CLICK_RULES_H
#define PIVOTRIX_HOOKLIB_CLICK_RULES_H

#include <stdint.h>

enum ButtonClass {
  BUTTON_NONE,  // moves, middle button, double clicks: never change anything
  LEFT_PRESS,
  LEFT_RELEASE,
  RIGHT_PRESS,
  RIGHT_RELEASE,
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
    default:
      return BUTTON_NONE;
  }
}

struct HookStates {
  int32_t extraMenu;  // 1 while a popup request is outstanding
  int32_t startMenu;  // 1 while the Start menu opened from the popup is watched
};

struct ClickDecision {
  uint32_t post;     // private message to post to the main window, or 0
  HookStates next;   // states after the event
  int32_t result;    // 0 let the message through, 1 swallow it
};

// Asked only on the rows whose outcome depends on it: it costs a system call.
typedef bool (*MenuTest)(void);

// onTaskTabs: the event's window is the taskbar's task tabs (full-handle comparison).
ClickDecision DecideClick(ButtonClass button, HookStates states, bool onTaskTabs,
                          MenuTest isCursorOverMenu);

#endif
