#include "startup_rules.h"

#include <stddef.h>

static wchar_t FoldCase(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
  // Latin-1's small letters, all but the division sign among them.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
  return c == L'/' ? L'\\' : c;
}

// The length without one trailing separator, unless that separator ends a root: C:\ or \.
static int KeptLength(const wchar_t* path) {
  int length = 0;
  while (path[length] != 0) ++length;
  bool root = length == 1 || (length == 3 && path[1] == L':');
  if (length > 0 && FoldCase(path[length - 1]) == L'\\' && !root) --length;
  return length;
}

static bool SamePath(const wchar_t* a, const wchar_t* b) {
  int length = KeptLength(a);
  if (KeptLength(b) != length) return false;
  for (int i = 0; i < length; ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

StartupShortcut JudgeStartupShortcut(bool exists, const wchar_t* target,
                                     const wchar_t* workingDir, const wchar_t* program,
                                     const wchar_t* settingsDir) {
  if (!exists) return SHORTCUT_MISSING;
  if (target == NULL || workingDir == NULL) return SHORTCUT_ELSEWHERE;
  return SamePath(target, program) && SamePath(workingDir, settingsDir) ? SHORTCUT_THIS
                                                                         : SHORTCUT_ELSEWHERE;
}
