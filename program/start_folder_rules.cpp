#include "start_folder_rules.h"

#include <stddef.h>

#include "stable_sort.h"
#include "start_names_rules.h"

static int UnitCount(const char16_t* text) {
  int length = 0;
  while (text[length] != 0) ++length;
  return length;
}

bool IsListedEntry(const char16_t* name, uint32_t attributes) {
  if (name[0] == u'.' && (name[1] == 0 || (name[1] == u'.' && name[2] == 0))) return false;
  return (attributes & ENTRY_HIDDEN) == 0;
}

static char16_t AsciiLower(char16_t unit) {
  return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

// True when the four units at `at` are "." and the three letters of `extension`, in any case.
static bool IsExtension(const char16_t* at, const char* extension) {
  if (at[0] != u'.') return false;
  for (int i = 0; i < 3; ++i) {
    if (AsciiLower(at[i + 1]) != static_cast<char16_t>(extension[i])) return false;
  }
  return true;
}

int ShownNameLength(const char16_t* name, bool folder) {
  int length = UnitCount(name);
  if (folder || length <= 4) return length;
  const char16_t* at = name + length - 4;
  if (IsExtension(at, "lnk") || IsExtension(at, "url") || IsExtension(at, "pif")) return length - 4;
  return length;
}

static bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

int BuildEntryText(const char16_t* name, int shown, char16_t (&text)[START_TEXT_SIZE]) {
  int length = 0;
  for (int i = 0; i < shown; ++i) {
    // Units that must stay together: a doubled "&", or a surrogate pair.
    bool pair = IsHighSurrogate(name[i]) && i + 1 < shown;
    int needed = name[i] == u'&' || pair ? 2 : 1;
    if (length + needed > START_TEXT_SIZE - 1) break;
    text[length++] = name[i];
    if (name[i] == u'&') text[length++] = u'&';
    if (pair) text[length++] = name[++i];
  }
  text[length] = 0;
  return length;
}

// Folders first; then by the shown names (`order` given) or by the file-system names.
static bool ComesBefore(const StartEntry& a, const StartEntry& b, NameOrder identity,
                        NameOrder order) {
  if (a.folder != b.folder) return a.folder;
  if (order != NULL) return order(a.shown, b.shown) < 0;
  return a.folder && identity(a.name, b.name) < 0;  // only folders are merged
}

static void SortEntries(StartEntry* entries, int count, StartEntry* scratch, NameOrder identity,
                        NameOrder order) {
  StableSort(entries, count, scratch, [identity, order](const StartEntry& a, const StartEntry& b) {
    return ComesBefore(a, b, identity, order);
  });
}

// Same-named folders are found next to each other in the file-system names' order, and the
// kept entries then take the shown names' order, in which two folders of one shown name
// may well be two folders.
int ArrangeStartEntries(StartEntry* entries, int count, StartEntry* scratch, NameOrder identity,
                        NameOrder order) {
  SortEntries(entries, count, scratch, identity, NULL);
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    StartEntry* last = kept > 0 ? &entries[kept - 1] : NULL;
    if (last != NULL && last->folder && entries[i].folder &&
        identity(last->name, entries[i].name) == 0) {
      last->sources |= entries[i].sources;
    } else {
      entries[kept++] = entries[i];
    }
  }
  SortEntries(entries, kept, scratch, identity, order);
  return kept;
}

bool IsAppToAdd(const char16_t* id, const char16_t* shown, const StartEntry* entries, int count,
                NameOrder identity) {
  if (!IsPackagedAppId(id)) return false;
  for (int i = 0; i < count; ++i) {
    if (!entries[i].folder && identity(entries[i].shown, shown) == 0) return false;
  }
  return true;
}

LetterChoice ChooseItemByLetter(const char16_t* firstUnits, int count, int current,
                                char16_t typed) {
  LetterChoice choice = {-1, false};
  int matches = 0;
  for (int step = 1; step <= count; ++step) {
    int index = ((current < 0 ? -1 : current) + step) % count;
    if (firstUnits[index] != typed) continue;
    if (matches++ == 0) choice.index = index;
  }
  choice.execute = matches == 1;
  return choice;
}
