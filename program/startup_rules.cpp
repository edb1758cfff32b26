#include "startup_rules.h"

#include <stddef.h>

static wchar_t FoldCase(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
  // Latin-1's small letters, all but the division sign among them.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
  return c == L'/' ? L'\\' : c;
}

// A path as compared: `text`, after one separator when `lead` is set (what \\?\UNC\ stands
// for), and `length` code units of the two together.
struct PathView {
  bool lead;
  const wchar_t* text;
  int length;
};

static wchar_t UnitAt(const PathView& view, int i) {
  if (!view.lead) return view.text[i];
  return i == 0 ? L'\\' : view.text[i - 1];
}

// Without a \\?\ prefix, and without one trailing separator unless it ends a root: C:\ or \.
static PathView ViewPath(const wchar_t* path) {
  PathView view = {false, path, 0};
  if (path[0] == L'\\' && path[1] == L'\\' && path[2] == L'?' && path[3] == L'\\') {
    view.text = path + 4;
    if (FoldCase(view.text[0]) == L'U' && FoldCase(view.text[1]) == L'N' &&
        FoldCase(view.text[2]) == L'C' && view.text[3] == L'\\') {
      view.lead = true;
      view.text += 3;
    }
  }
  while (view.text[view.length] != 0) ++view.length;
  if (view.lead) ++view.length;
  bool root = view.length == 1 || (view.length == 3 && UnitAt(view, 1) == L':');
  if (view.length > 0 && FoldCase(UnitAt(view, view.length - 1)) == L'\\' && !root) {
    --view.length;
  }
  return view;
}

static bool SamePath(const wchar_t* a, const wchar_t* b) {
  PathView first = ViewPath(a);
  PathView second = ViewPath(b);
  if (first.length != second.length) return false;
  for (int i = 0; i < first.length; ++i) {
    if (FoldCase(UnitAt(first, i)) != FoldCase(UnitAt(second, i))) return false;
  }
  return true;
}

bool SameFile(const NamedFile& a, const NamedFile& b) {
  if (a.identity.known && b.identity.known) {
    return a.identity.volume == b.identity.volume && a.identity.index == b.identity.index;
  }
  return SamePath(a.path, b.path);
}

StartupShortcut JudgeStartupShortcut(bool exists, const NamedFile* target,
                                     const NamedFile* workingDir, const NamedFile& program,
                                     const NamedFile& settingsDir) {
  if (!exists) return SHORTCUT_MISSING;
  if (target == NULL || workingDir == NULL) return SHORTCUT_ELSEWHERE;
  return SameFile(*target, program) && SameFile(*workingDir, settingsDir) ? SHORTCUT_THIS
                                                                          : SHORTCUT_ELSEWHERE;
}
