// Private messages posted to the menu program's main window, and the encodings they carry.
// Used by both the hook library (sender) and the menu program (receiver).
#ifndef PIVOTRIX_COMMON_PRIVATE_MESSAGES_H
#define PIVOTRIX_COMMON_PRIVATE_MESSAGES_H

#include <stdint.h>

// WM_USER is 0x0400; the numbers are fixed because other senders post them too.
enum PrivateMessage : unsigned {
  UM_POPUP_NOW = 0x0400 + 11,      // 1035: show a popup at once (wParam window, lParam point)
  UM_START_CLICK = 0x0400 + 13,    // 1037: a click ended the Start menu (wParam window)
  UM_START_CANCEL = 0x0400 + 17,   // 1041: stop watching the Start menu
  UM_POPUP_REQUEST = 0x0400 + 21,  // 1045: right click seen by the hook (wParam window, lParam point)
  UM_POPUP_CLICK = 0x0400 + 33,    // 1057: a press after a popup request (wParam window)
  UM_ICONS_READY = 0x0400 + 40,    // 1064: the program's own Start menu has icons to draw
  UM_FOLDER_LISTED = 0x0400 + 41,  // 1065: a folder of it is listed (wParam showing, lParam folder)
  UM_FIND_READY = 0x0400 + 50,     // 1074: the Find box's entries are read (to the box)
  UM_FIND_ICONS = 0x0400 + 51,     // 1075: the Find box has icons to draw (to the box)
};
static_assert(UM_POPUP_NOW == 1035 && UM_START_CLICK == 1037 && UM_START_CANCEL == 1041 &&
                  UM_POPUP_REQUEST == 1045 && UM_POPUP_CLICK == 1057,
              "other programs post these numbers: they never change");

// Window handles travel as their low 16 bits. The receiver widens them back with zero
// upper bits, so a widened handle only ever matches a full handle on its low 16 bits.
inline uint16_t HandleLow16(uintptr_t handle) { return static_cast<uint16_t>(handle & 0xFFFFu); }

inline bool SameWindow16(uintptr_t a, uintptr_t b) { return HandleLow16(a) == HandleLow16(b); }

// A cursor point travels as x in the low 16 bits and y in the high 16 bits.
inline uint32_t PackPoint(int32_t x, int32_t y) {
  return (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
}

// Both halves are widened as signed 16-bit values: monitors left of or above the primary
// one have negative coordinates.
inline int32_t PackedX(uint32_t packed) { return static_cast<int16_t>(packed & 0xFFFFu); }

inline int32_t PackedY(uint32_t packed) { return static_cast<int16_t>(packed >> 16); }

#endif
