#include "empty_hook.h"

intptr_t EmptyHook(int code, uintptr_t wParam, intptr_t lParam, SharedBlock&, intptr_t&,
                   const HookSeams& seams) {
  if (code < 0) return seams.callNextHook(code, static_cast<uint16_t>(wParam), lParam);
  return 0;
}
