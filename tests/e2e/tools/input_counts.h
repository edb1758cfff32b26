// The mouse messages that testwin.exe --count-input NAME has received, shared under NAME
// with the benchmark that drives it; the auto-reset event "NAME.event" is set after each.
#ifndef PIVOTRIX_TESTS_INPUT_COUNTS_H
#define PIVOTRIX_TESTS_INPUT_COUNTS_H

#include <windows.h>

struct InputCounts {
  volatile LONG moves;
  volatile LONG rightDowns;
  volatile LONG rightUps;
  volatile LONG leftDowns;
  volatile LONG leftUps;
};

#endif
