// The own Start menu's decisions over plain values: which directory entries it lists, how an
// entry is named in the menu, the order of a folder's items with the user's and all users'
// Start Menus merged, and the item that a typed letter picks. Names are UTF-16.
#ifndef PIVOTRIX_PROGRAM_START_FOLDER_RULES_H
#define PIVOTRIX_PROGRAM_START_FOLDER_RULES_H

#include <stdint.h>

// File attribute bits the menu looks at (the platform's FILE_ATTRIBUTE_ values).
enum : uint32_t {
  ENTRY_HIDDEN = 0x02u,
  ENTRY_SYSTEM = 0x04u,
  ENTRY_FOLDER = 0x10u,
};

enum {
  START_NAME_SIZE = 260,  // a file name as the directory search gives it, with its NUL
  START_TEXT_SIZE = 2 * START_NAME_SIZE,  // its menu text: every "&" may be doubled
};

// False for "." and "..", and for hidden or system files (the "desktop.ini" that Windows
// keeps in these folders is both).
bool IsListedEntry(const char16_t* name, uint32_t attributes);

// How many units of the name the menu shows: a file's ".lnk", ".url" or ".pif" (any case)
// is left out, unless nothing would be left; a folder keeps its whole name.
int ShownNameLength(const char16_t* name, bool folder);

// The menu text: the shown part of the name with every "&" doubled, so that it shows as
// itself and gives the item no mnemonic. Cut to fit, never between a doubled "&" or the
// halves of a surrogate pair; returns its length.
int BuildEntryText(const char16_t* name, bool folder, char16_t (&text)[START_TEXT_SIZE]);

// One directory entry of a folder being listed; `sources` says which Start Menus hold it
// (bit 0 the user's, bit 1 all users').
struct StartEntry {
  const char16_t* name;
  bool folder;
  uint32_t sources;
};

// Orders two names, ignoring case: below 0, 0 or above 0 as a comes before, with or after b.
typedef int (*NameOrder)(const char16_t* a, const char16_t* b);

// Puts a folder's entries in menu order: folders first, then the other entries, each group
// sorted by `order`. Folders of the same name (order 0) become one, holding the sources of
// both; other entries of the same name all stay. `scratch` holds `count` entries. Returns
// the new count.
int ArrangeStartEntries(StartEntry* entries, int count, StartEntry* scratch, NameOrder order);

// The item that a typed letter picks: the first one after `current` (-1: none is selected),
// going round, whose first unit is `typed`; both are already folded to one case by the
// caller. `execute` when it is the only such item, as the menu then opens or starts it.
struct LetterChoice {
  int index;  // -1: no item starts with the letter
  bool execute;
};
LetterChoice ChooseItemByLetter(const char16_t* firstUnits, int count, int current, char16_t typed);

#endif
