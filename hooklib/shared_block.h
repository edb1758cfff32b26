// The layout of the block that every process mapping the hook library shares. Plain
// integers only, so that the hook's per-event path can be built and tested natively too.
#ifndef PIVOTRIX_HOOKLIB_SHARED_BLOCK_H
#define PIVOTRIX_HOOKLIB_SHARED_BLOCK_H

#include <stddef.h>
#include <stdint.h>

// The task lists of secondary taskbars that the hook leaves alone: one for each monitor
// after the first.
enum { MORE_TASK_LISTS = 7 };

// Eight fields in this order, every access a single aligned load or store. Window handles
// always fit 32 bits (64-bit Windows sign-extends them), so they are stored as 32-bit
// values. A module handle is a load address and does not fit 32 bits on x86_64, so
// hModuleSelf is pointer-sized: 32 bits on i686 (eight 32-bit fields, 32 bytes), 64 bits on
// x86_64, where it is aligned to 8 and the block grows to 40 bytes. The fields and their
// order are the block's layout, which readers outside the library rely on (the test tools
// read it from the section), so those that the library writes and nothing here reads
// (hModuleSelf, hookResult, hwndTray, hwndStartButton) keep their places and their values.
struct SharedBlock {
  volatile int32_t hwndNotify;       // the menu program's main window
  volatile uintptr_t hModuleSelf;    // the library as loaded by InstallMouseHook
  volatile int32_t extraMenuState;   // 1 while a popup request is outstanding
  volatile int32_t startMenuState;   // 1 while the Start menu from the popup is watched
  volatile int32_t hookResult;       // decision of the latest hook call: 0 pass, 1 swallow
  volatile int32_t hwndTray;
  volatile int32_t hwndStartButton;
  volatile int32_t hwndTaskTabs;     // right clicks on the task tabs bring no popup
  // Added after the eight, so that those keep their places.
  volatile int32_t trigger;          // what brings the popup (Trigger; SignalHookTrigger)
  volatile int32_t triggerPress;     // 1 from a right press taken as the trigger to its release
  // Right clicks on these are left to the shell too (SignalHookTaskLists).
  volatile int32_t hwndTaskButtons;  // Wine's taskbar: every child but the Start button
  volatile int32_t hwndMoreTaskLists[MORE_TASK_LISTS];  // secondary taskbars'; 0 where none
};

#define PIVOTRIX_BLOCK_AT(field, i686, x86_64) \
  static_assert(offsetof(SharedBlock, field) == (sizeof(void*) == 4 ? (i686) : (x86_64)), \
                "SharedBlock." #field " keeps its place")
PIVOTRIX_BLOCK_AT(hwndNotify, 0, 0);
PIVOTRIX_BLOCK_AT(hModuleSelf, 4, 8);
PIVOTRIX_BLOCK_AT(extraMenuState, 8, 16);
PIVOTRIX_BLOCK_AT(startMenuState, 12, 20);
PIVOTRIX_BLOCK_AT(hookResult, 16, 24);
PIVOTRIX_BLOCK_AT(hwndTray, 20, 28);
PIVOTRIX_BLOCK_AT(hwndStartButton, 24, 32);
PIVOTRIX_BLOCK_AT(hwndTaskTabs, 28, 36);
PIVOTRIX_BLOCK_AT(trigger, 32, 40);
PIVOTRIX_BLOCK_AT(triggerPress, 36, 44);
PIVOTRIX_BLOCK_AT(hwndTaskButtons, 40, 48);
PIVOTRIX_BLOCK_AT(hwndMoreTaskLists, 44, 52);
#undef PIVOTRIX_BLOCK_AT
static_assert(sizeof(SharedBlock) == (sizeof(void*) == 4 ? 72 : 80), "SharedBlock's size");

#endif
