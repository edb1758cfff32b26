#include "control_marks.h"

PairMarks MarkPair(bool firstIsCurrent) {
  PairMarks marks = {MARK_CHOOSABLE, MARK_CHOOSABLE};
  if (firstIsCurrent) {
    marks.first = MARK_CURRENT;
  } else {
    marks.second = MARK_CURRENT;
  }
  return marks;
}

PairMarks MarkActivation(int32_t enabled) { return MarkPair(enabled == 1); }

PairMarks MarkExtraItems(int32_t extraItems) { return MarkPair(extraItems == 1); }

PairMarks MarkMenuSize(int32_t menuSize) { return MarkPair(menuSize == 0); }

PairMarks MarkTrigger(int32_t trigger) { return MarkPair(trigger != TRIGGER_CTRL); }

PairMarks MarkStartWithWindows(StartupShortcut found) { return MarkPair(found == SHORTCUT_THIS); }

ActivationOutcome DecideActivation(bool on, bool hookDone, int32_t enabledBefore) {
  if (!hookDone) return {false, enabledBefore, on};
  return {true, on ? 1 : 0, false};
}
