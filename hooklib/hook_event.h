// One mouse event through the hook, over plain values: the code test, the decision from
// the shared states and the event's own record, the report and the states written back.
// The calls out of the library go through HookSeams, so the whole path runs natively.
#ifndef PIVOTRIX_HOOKLIB_HOOK_EVENT_H
#define PIVOTRIX_HOOKLIB_HOOK_EVENT_H

#include <stdint.h>

#include "click_rules.h"
#include "shared_block.h"

// The leading fields of the system's event record (MOUSEHOOKSTRUCT), in its layout: the
// cursor point in screen coordinates and the window that is to receive the message.
struct MouseEventRecord {
  int32_t x;
  int32_t y;
  uintptr_t window;
};

// Every call the hook makes out of the library, one function each. A new one is one more
// member here and one more function where the seams are filled in.
struct HookSeams {
  // Posts a private message to the menu program's window (hwndNotify of the shared block).
  void (*post)(int32_t notify, uint32_t message, uint16_t window, uint32_t point);
  // The cursor is over a menu window; asked only where the decision depends on it.
  MenuTest isCursorOverMenu;
  // The next hook in the chain, for negative codes only.
  intptr_t (*callNextHook)(int code, uint16_t message, intptr_t lParam);
  // Ctrl is held; asked only for right presses under the Ctrl trigger.
  KeyTest isCtrlHeld;
  // Lets the menu program's process (that of hwndNotify) take the foreground.
  void (*allowForeground)(int32_t notify);
  // The window's parent (32 bits, as the block keeps handles); asked only for right
  // buttons, and only where the taskbar's task buttons are its own children (Wine).
  int32_t (*parentOf)(uintptr_t window);
};

// What MouseHook returns for (code, wParam, lParam). Only the low 16 bits of wParam are
// used. For a code of 0 or more, lParam is the address of the event's record: it is kept
// in currentEvent, and read only for a button message.
intptr_t HandleMouseEvent(int code, uintptr_t wParam, intptr_t lParam, SharedBlock& shared,
                          intptr_t& currentEvent, const HookSeams& seams);

#endif
