// FUZZ_CHECK: an invariant of a fuzz target. A failure prints the condition and aborts,
// which libFuzzer reports as a crash and saves the input for; kept in every build type.
#ifndef PIVOTRIX_TESTS_FUZZ_FUZZ_CHECK_H
#define PIVOTRIX_TESTS_FUZZ_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>

#define FUZZ_CHECK(condition)                                                  \
  do {                                                                         \
    if (!(condition)) {                                                        \
      fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
      abort();                                                                 \
    }                                                                          \
  } while (0)

#endif
