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

// False for "." and "..", and for hidden items, whether system as well or not (the
// "desktop.ini" that Windows keeps in these folders is both), as Explorer leaves them out; an
// item marked system alone is listed, as Explorer shows it.
bool IsListedEntry(const char16_t* name, uint32_t attributes);

// How many units of the name the menu shows: a file's ".lnk", ".url" or ".pif" (any case)
// is left out, unless nothing would be left; a folder keeps its whole name.
int ShownNameLength(const char16_t* name, bool folder);

// The menu text: the first `shown` units of the name with every "&" doubled, so that it
// shows as itself and gives the item no mnemonic. Cut to fit, never between a doubled "&"
// or the halves of a surrogate pair; returns its length.
int BuildEntryText(const char16_t* name, int shown, char16_t (&text)[START_TEXT_SIZE]);

// Which lists an item comes from.
enum : uint32_t {
  SOURCE_USER = 1u,    // the user's Start Menu
  SOURCE_COMMON = 2u,  // all users' Start Menu
  SOURCE_APPS = 4u,    // the shell's Applications folder; `name` is the app's ID
};

// One item of a folder being listed: its file-system name, the name the menu shows, and
// which lists hold it.
struct StartEntry {
  const char16_t* name;
  const char16_t* shown;
  bool folder;
  uint32_t sources;
  int32_t tag;  // the caller's, carried along (an app's icon)
};

// Orders two names, ignoring case: below 0, 0 or above 0 as a comes before, with or after b.
typedef int (*NameOrder)(const char16_t* a, const char16_t* b);

// Puts a folder's entries in menu order: folders first, then the other entries, each group
// sorted by `order` over the shown names. Folders whose file-system names are the same by
// `identity` (the file system's own comparison: code units, case folded) become one,
// holding the sources of both; other entries of the same name all stay. `scratch` holds
// `count` entries. Returns the new count.
int ArrangeStartEntries(StartEntry* entries, int count, StartEntry* scratch, NameOrder identity,
                        NameOrder order);

// True when the Applications folder's app `id`, shown as `shown`, is one that the listed
// entries don't already stand for: a packaged app, and no entry that isn't a folder shows
// the same name (by `identity`), as a shortcut to it would.
bool IsAppToAdd(const char16_t* id, const char16_t* shown, const StartEntry* entries, int count,
                NameOrder identity);

// The item that a typed letter picks: the first one after `current` (-1: none is selected),
// going round, whose first unit is `typed`; both are already folded to one case by the
// caller. `execute` when it is the only such item, as the menu then opens or starts it.
struct LetterChoice {
  int index;  // -1: no item starts with the letter
  bool execute;
};
LetterChoice ChooseItemByLetter(const char16_t* firstUnits, int count, int current, char16_t typed);

#endif
