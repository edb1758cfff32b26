// How the control menu marks each pair of choices for the current settings.
#ifndef PIVOTRIX_PROGRAM_CONTROL_MARKS_H
#define PIVOTRIX_PROGRAM_CONTROL_MARKS_H

#include <stdint.h>

#include "../common/trigger.h"
#include "startup_rules.h"

enum : uint32_t {
  MARK_CHOOSABLE = 0,  // an ordinary enabled string item
  MARK_CURRENT = 11,   // MF_CHECKED | MF_DISABLED | MF_GRAYED: the state in force
};

struct PairMarks {
  uint32_t first;
  uint32_t second;
};

// The first item of a pair is current exactly when its condition holds.
PairMarks MarkPair(bool firstIsCurrent);

PairMarks MarkActivation(int32_t enabled);    // Activate / Deactivate
PairMarks MarkExtraItems(int32_t extraItems);  // Enable / Disable min/max/rest/exit
PairMarks MarkMenuSize(int32_t menuSize);      // Large / Small menu
PairMarks MarkTrigger(int32_t trigger);        // Any right click / Ctrl + right click

// Start with Windows / Don't start with Windows: the first only for a shortcut that starts
// this very program; a shortcut to another copy, or one started elsewhere, leaves this
// Pivotrix not starting with Windows.
PairMarks MarkStartWithWindows(StartupShortcut found);

// What switching the hook on or off leaves behind. Removing it always counts as done;
// installing it may fail, and then nothing is stored, `enabled` keeps its value (so the
// marks keep showing the hook as off) and the user is told.
struct ActivationOutcome {
  bool store;       // write "Enable" with the value asked for
  int32_t enabled;  // the value `enabled` takes
  bool report;      // the hook could not be installed: say so
};

ActivationOutcome DecideActivation(bool on, bool hookDone, int32_t enabledBefore);

#endif
