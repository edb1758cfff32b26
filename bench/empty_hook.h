// The baseline of the hook benchmarks: a hook procedure with HandleMouseEvent's signature
// that decides nothing, built apart so that calling it costs a real call.
#ifndef PIVOTRIX_BENCH_EMPTY_HOOK_H
#define PIVOTRIX_BENCH_EMPTY_HOOK_H

#include <stdint.h>

#include "hooklib/hook_event.h"

intptr_t EmptyHook(int code, uintptr_t wParam, intptr_t lParam, SharedBlock& shared,
                   intptr_t& currentEvent, const HookSeams& seams);

#endif
