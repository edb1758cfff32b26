#include "own_start_menu.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "../common/menu_window.h"
#include "../common/private_messages.h"
#include "apps_folder.h"
#include "find_box.h"
#include "popup_menu.h"
#include "program_state.h"
#include "shell_folder.h"
#include "shell_icons.h"
#include "start_entry.h"
#include "start_folder_rules.h"
#include "start_names.h"

static_assert(ENTRY_HIDDEN == FILE_ATTRIBUTE_HIDDEN && ENTRY_SYSTEM == FILE_ATTRIBUTE_SYSTEM &&
                  ENTRY_FOLDER == FILE_ATTRIBUTE_DIRECTORY,
              "attribute bits match the file system's");
static_assert(START_NAME_SIZE == MAX_PATH, "a name as the directory search gives it");

enum { SOURCE_COUNT = 2 };        // SOURCE_USER and SOURCE_COMMON: the two Start Menus
enum { ICON_GAP = 4 };            // pixels between an item's icon and its text
enum { REPAINT_INTERVAL = 100 };  // ms: icons found meanwhile are painted together
enum { LISTING_WAIT = 100 };      // ms a submenu's opening waits for its folder's listing
enum { ICON_UNKNOWN = -2 };       // an item's icon not looked up yet

// The root's own items after the folders' contents; the entries take the ids below them.
enum : UINT { ID_SETTINGS = 0xFFFD, ID_FIND = 0xFFFE, ID_RUN = 0xFFFF, LAST_ENTRY_ID = 0xFFFC };

// Their icons: shell32's icon resources, the same numbers in Windows' and Wine's.
enum { SHELL_ICON_SETTINGS = 22, SHELL_ICON_FIND = 23, SHELL_ICON_RUN = 25 };

// An item of the menu, a folder or an entry.
struct MenuEntry {
  WCHAR* path;             // the entry (a name the shell parses for an app), or the folder in
                           // the first Start Menu that holds it
  WCHAR firstUnit;         // the shown name's first unit in upper case, for typed letters
  int volatile icon;       // the system image list's index, -1 none; set by the icon thread
  int shellIcon;           // shell32's icon resource for the root's own items, else 0
  MenuEntry* nextWaiting;  // the items whose icon is still to be looked up
};

// A submenu, or the menu itself: the folder in each Start Menu that it shows (null where
// that Start Menu has none). It is listed on a thread of its own; `entries` and `count` are
// that thread's until `listed` is set.
struct MenuFolder {
  HMENU menu;
  WCHAR* paths[SOURCE_COUNT];
  bool programs;     // the Start Menus' Programs folder: the Applications folder's apps join it
  bool listing;      // its listing has been asked for
  bool filled;       // its items are in the menu
  bool placeholder;  // its menu holds the item shown while the listing takes its time
  HANDLE listed;
  StartEntry* entries;
  int count;
  MenuFolder* next;  // all the folders, for the clean-up
};

// One showing of the menu, shared with its icon and listing threads: whichever lets go last
// frees it. Everything of it lives in its own heap, which goes at once.
struct OwnMenu {
  HANDLE heap;
  LONG references;
  UINT serial;  // tells this showing's late listings from an earlier one's
  HMENU root;
  MenuFolder* folders;
  UINT lastId;
  int iconSize;
  WCHAR* programs[SOURCE_COUNT];  // the Programs folder in each Start Menu
  CRITICAL_SECTION lock;          // guards waiting and closed
  MenuEntry* waiting;             // the most recently opened submenu's first
  bool closed;
  HANDLE wake;         // set when icons wait or the menu closed
  HANDLE idle;         // set while the menu loop waits for input (and once it closed)
  LONG repaintPosted;  // a UM_ICONS_READY is on its way
  HWND owner;
  bool trackAgain;  // the root's late listing ended the menu, to show it again at its size
};

static UINT lastSerial;

static void* Allocate(OwnMenu* menu, SIZE_T bytes) {
  return HeapAlloc(menu->heap, HEAP_ZERO_MEMORY, bytes);
}

static int UnitCount(const char16_t* units) {
  int count = 0;
  while (units[count] != 0) ++count;
  return count;
}

// Names pass between the rules (UTF-16 as char16_t) and the system (WCHAR) by copy.
static void CopyUnits(WCHAR* to, const char16_t* from, int size) {
  int i = 0;
  for (; i < size - 1 && from[i] != 0; ++i) to[i] = from[i];
  to[i] = 0;
}

static char16_t* KeepUnits(OwnMenu* menu, const WCHAR* from) {
  int length = lstrlenW(from);
  char16_t* kept = static_cast<char16_t*>(Allocate(menu, (length + 1) * sizeof(char16_t)));
  for (int i = 0; kept != NULL && i < length; ++i) kept[i] = from[i];
  return kept;
}

// "<folder>\<name>" in the menu's heap.
static WCHAR* JoinPath(OwnMenu* menu, const WCHAR* folder, const char16_t* name) {
  int folderLength = lstrlenW(folder);
  int nameLength = UnitCount(name);
  WCHAR* path =
      static_cast<WCHAR*>(Allocate(menu, (folderLength + nameLength + 2) * sizeof(WCHAR)));
  if (path == NULL) return NULL;
  lstrcpyW(path, folder);
  path[folderLength] = L'\\';
  CopyUnits(path + folderLength + 1, name, nameLength + 1);
  return path;
}

static WCHAR UpperCase(WCHAR unit) {
  return static_cast<WCHAR>(reinterpret_cast<ULONG_PTR>(
      CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(unit)))));
}

// In the user's locale's order, ignoring case, so that accented and other non-ASCII letters
// stand where that language puts them rather than after the Z.
static int CompareNames(const char16_t* a, const char16_t* b) {
  WCHAR first[START_NAME_SIZE];
  WCHAR second[START_NAME_SIZE];
  CopyUnits(first, a, START_NAME_SIZE);
  CopyUnits(second, b, START_NAME_SIZE);
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first, -1, second, -1) - CSTR_EQUAL;
}

// The file system's own comparison: unit by unit, each folded to upper case alone, as NTFS
// compares names; a locale may sort two different names as equal.
static int CompareFileNames(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    WCHAR first = UpperCase(static_cast<WCHAR>(*a));
    WCHAR second = UpperCase(static_cast<WCHAR>(*b));
    if (first != second) return first < second ? -1 : 1;
    if (first == 0) return 0;
  }
}

static MenuFolder* NewFolder(OwnMenu* menu) {
  MenuFolder* folder = static_cast<MenuFolder*>(Allocate(menu, sizeof(MenuFolder)));
  if (folder == NULL || (folder->menu = CreatePopupMenu()) == NULL) return NULL;
  MENUINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = MIM_MENUDATA | MIM_STYLE;
  info.dwStyle = MNS_NOCHECK;  // no item is ever checked: the icon comes first
  info.dwMenuData = reinterpret_cast<ULONG_PTR>(folder);
  SetMenuInfo(folder->menu, &info);
  folder->next = menu->folders;
  menu->folders = folder;
  return folder;
}

struct EntryList {
  StartEntry* entries;
  int count;
  int capacity;
};

static bool Append(OwnMenu* menu, EntryList* list, const StartEntry& entry) {
  if (list->count == list->capacity) {
    int capacity = list->capacity == 0 ? 32 : 2 * list->capacity;
    SIZE_T bytes = capacity * sizeof(StartEntry);
    void* grown = list->entries == NULL ? HeapAlloc(menu->heap, 0, bytes)
                                        : HeapReAlloc(menu->heap, 0, list->entries, bytes);
    if (grown == NULL) return false;
    list->entries = static_cast<StartEntry*>(grown);
    list->capacity = capacity;
  }
  list->entries[list->count++] = entry;
  return true;
}

// Adds the listed entries of one Start Menu's folder, with their shown names; a missing or
// unreadable folder adds none. A path past MAX_PATH (deep nesting) is searched with the
// "\\?\" prefix, which a path that starts with a drive letter takes as it is.
static void ReadFolder(OwnMenu* menu, const WCHAR* folder, uint32_t source, EntryList* list) {
  bool longPath = lstrlenW(folder) + 2 >= MAX_PATH && folder[0] != 0 && folder[1] == L':';
  WCHAR* pattern = JoinPath(menu, folder, u"*");
  WCHAR* prefixed =
      longPath ? static_cast<WCHAR*>(Allocate(menu, (lstrlenW(folder) + 7) * sizeof(WCHAR))) : NULL;
  if (pattern == NULL || (longPath && prefixed == NULL)) return;
  if (longPath) {
    lstrcpyW(prefixed, L"\\\\?\\");
    lstrcatW(prefixed, pattern);
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(longPath ? prefixed : pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    char16_t* name = KeepUnits(menu, found.cFileName);
    if (name == NULL) break;
    if (!IsListedEntry(name, found.dwFileAttributes)) continue;
    bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    WCHAR shown[START_NAME_SIZE];
    LookUpFoundName(folder, found, shown, START_NAME_SIZE);
    char16_t* keptShown = KeepUnits(menu, shown);
    StartEntry entry = {name, keptShown, isFolder, source, -1};
    if (keptShown == NULL || !Append(menu, list, entry)) break;
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

struct AppsVisit {
  OwnMenu* menu;
  EntryList* list;
  int folderEntries;  // the entries of the Start Menus' folders, ahead of the apps
};

// An app joins the list unless a shortcut among the folder's entries stands for it.
static bool AddApp(const ShellApp& app, void* context) {
  AppsVisit* visit = static_cast<AppsVisit*>(context);
  char16_t* id = KeepUnits(visit->menu, app.id);
  char16_t* start = KeepUnits(visit->menu, app.start);
  char16_t* shown = KeepUnits(visit->menu, app.name);
  if (id == NULL || start == NULL || shown == NULL) return false;
  if (!IsAppToAdd(id, shown, visit->list->entries, visit->folderEntries, CompareFileNames)) {
    return true;
  }
  StartEntry entry = {start, shown, false, SOURCE_APPS, app.icon};
  return Append(visit->menu, visit->list, entry);
}

static void ReleaseMenu(OwnMenu* menu) {
  if (InterlockedDecrement(&menu->references) != 0) return;
  for (MenuFolder* folder = menu->folders; folder != NULL; folder = folder->next) {
    if (folder->listed != NULL) CloseHandle(folder->listed);
  }
  if (menu->wake != NULL) CloseHandle(menu->wake);
  if (menu->idle != NULL) CloseHandle(menu->idle);
  DeleteCriticalSection(&menu->lock);
  HeapDestroy(menu->heap);
}

// A folder to list, handed to its listing thread.
struct Listing {
  OwnMenu* menu;
  MenuFolder* folder;
};

// Reads a folder of both Start Menus (and, for Programs, the Applications folder) and puts
// the entries in order.
static void ListEntries(OwnMenu* menu, MenuFolder* folder) {
  EntryList list = {};
  for (int i = 0; i < SOURCE_COUNT; ++i) {
    if (folder->paths[i] != NULL) ReadFolder(menu, folder->paths[i], 1u << i, &list);
  }
  if (folder->programs) {
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    AppsVisit visit = {menu, &list, list.count};
    if (SUCCEEDED(com)) {
      EnumerateApps(AddApp, &visit);
      CoUninitialize();
    }
  }
  StartEntry* scratch =
      static_cast<StartEntry*>(HeapAlloc(menu->heap, 0, (list.count + 1) * sizeof(StartEntry)));
  folder->count = scratch == NULL ? 0
                                  : ArrangeStartEntries(list.entries, list.count, scratch,
                                                        CompareFileNames, CompareNames);
  folder->entries = list.entries;
  if (scratch != NULL) HeapFree(menu->heap, 0, scratch);
  ForgetShownNames();
}

// A listing thread. A folder on a slow or unreachable file server may take it seconds; the
// menu meanwhile shows a placeholder (OnInitMenuPopup), and the main window fills the
// submenu once told.
static DWORD WINAPI ListFolder(LPVOID parameter) {
  Listing* listing = static_cast<Listing*>(parameter);
  OwnMenu* menu = listing->menu;
  ListEntries(menu, listing->folder);
  SetEvent(listing->folder->listed);
  PostMessageA(menu->owner, UM_FOLDER_LISTED, menu->serial,
               reinterpret_cast<LPARAM>(listing->folder));
  ReleaseMenu(menu);
  return 0;
}

// Starts the folder's listing; where no thread can be had, the folder is listed at once.
static void StartListing(OwnMenu* menu, MenuFolder* folder) {
  folder->listing = true;
  Listing* listing = static_cast<Listing*>(Allocate(menu, sizeof(Listing)));
  folder->listed = CreateEventA(NULL, TRUE, FALSE, NULL);
  if (listing != NULL && folder->listed != NULL) {
    listing->menu = menu;
    listing->folder = folder;
    InterlockedIncrement(&menu->references);
    HANDLE thread = CreateThread(NULL, 0, ListFolder, listing, 0, NULL);
    if (thread != NULL) {
      CloseHandle(thread);
      return;
    }
    InterlockedDecrement(&menu->references);
  }
  ListEntries(menu, folder);
  if (folder->listed != NULL) SetEvent(folder->listed);
}

// The root's own items get their icons as the entries do.
static void SetItemData(HMENU menu, UINT position, MenuEntry* item) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA | MIIM_BITMAP;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
  info.hbmpItem = HBMMENU_CALLBACK;  // the icon, drawn by the owner
  SetMenuItemInfoW(menu, position, TRUE, &info);
}

// Inserts one item for `entry` at `position`: a submenu for a folder, a command for an
// entry or an app.
static MenuEntry* AddItem(OwnMenu* menu, MenuFolder* parent, UINT position,
                          const StartEntry& entry) {
  MenuEntry* item = static_cast<MenuEntry*>(Allocate(menu, sizeof(MenuEntry)));
  if (item == NULL || (!entry.folder && menu->lastId == LAST_ENTRY_ID)) return NULL;
  if ((entry.sources & SOURCE_APPS) != 0) {
    int length = UnitCount(entry.name);
    item->path = static_cast<WCHAR*>(Allocate(menu, (length + 1) * sizeof(WCHAR)));
    if (item->path != NULL) CopyUnits(item->path, entry.name, length + 1);
    item->icon = entry.tag;
  } else {
    item->path = JoinPath(menu, parent->paths[(entry.sources & SOURCE_USER) != 0 ? 0 : 1],
                          entry.name);
    item->icon = ICON_UNKNOWN;
  }
  if (item->path == NULL) return NULL;
  item->firstUnit = UpperCase(entry.shown[0]);

  char16_t text[START_TEXT_SIZE];
  BuildEntryText(entry.shown, UnitCount(entry.shown), text);
  WCHAR shown[START_TEXT_SIZE];
  CopyUnits(shown, text, START_TEXT_SIZE);
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_DATA | MIIM_BITMAP;
  info.fType = MFT_STRING;
  info.dwTypeData = shown;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
  info.hbmpItem = HBMMENU_CALLBACK;  // the icon, drawn by the owner
  if (entry.folder) {
    MenuFolder* folder = NewFolder(menu);
    if (folder == NULL) return NULL;
    for (int i = 0; i < SOURCE_COUNT; ++i) {
      if ((entry.sources & (1u << i)) == 0) continue;
      folder->paths[i] = JoinPath(menu, parent->paths[i], entry.name);
      if (folder->paths[i] != NULL && menu->programs[i] != NULL &&
          lstrcmpiW(folder->paths[i], menu->programs[i]) == 0) {
        folder->programs = true;
      }
    }
    info.fMask |= MIIM_SUBMENU;
    info.hSubMenu = folder->menu;
  } else {
    info.wID = ++menu->lastId;
  }
  if (!InsertMenuItemW(parent->menu, position, TRUE, &info)) {
    if (info.hSubMenu != NULL) DestroyMenu(info.hSubMenu);
    return NULL;
  }
  return item;
}

// Hands items to the icon thread ahead of any that still wait: the submenu just opened is
// the one being looked at.
static void QueueIcons(OwnMenu* menu, MenuEntry* first, MenuEntry* last) {
  if (first == NULL) return;
  EnterCriticalSection(&menu->lock);
  last->nextWaiting = menu->waiting;
  menu->waiting = first;
  LeaveCriticalSection(&menu->lock);
  if (menu->wake != NULL) SetEvent(menu->wake);
}

// Puts a listed folder's items into its submenu, in place of the placeholder; the root's own
// items stay after them.
static void FillFolder(OwnMenu* menu, MenuFolder* folder) {
  folder->filled = true;
  if (folder->placeholder) DeleteMenu(folder->menu, 0, MF_BYPOSITION);
  MenuEntry* first = NULL;
  MenuEntry* last = NULL;
  UINT position = 0;
  for (int i = 0; i < folder->count; ++i) {
    MenuEntry* item = AddItem(menu, folder, position, folder->entries[i]);
    if (item == NULL) continue;
    ++position;
    if (item->icon != ICON_UNKNOWN) continue;
    if (last != NULL) {
      last->nextWaiting = item;
    } else {
      first = item;
    }
    last = item;
  }
  if (position == 0) InsertMenuW(folder->menu, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 0, L"(Empty)");
  QueueIcons(menu, first, last);
}

// The icon thread: looks up each item's icon as the shell shows it, the most recently
// opened submenu's first. The shell may take several milliseconds an item (it reads each
// shortcut and its target), far too long for a menu that must open at once. It looks up
// only while the menu loop waits for input, so that a submenu being opened has the machine
// to itself, and it asks the main window to repaint the open menus at most every
// REPAINT_INTERVAL and once it has no more to do: a repaint draws every item.
static DWORD WINAPI LookUpIcons(LPVOID parameter) {
  OwnMenu* menu = static_cast<OwnMenu*>(parameter);
  HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
  HMODULE shell = GetModuleHandleA("shell32.dll");
  WCHAR shellPath[MAX_PATH];
  if (shell == NULL || GetModuleFileNameW(shell, shellPath, MAX_PATH) == 0) shellPath[0] = 0;
  // By name from Windows Vista on; before, and in Wine, by its number alone, where it
  // takes wide strings on Windows NT.
  FARPROC found = shell != NULL ? GetProcAddress(shell, "Shell_GetCachedImageIndexW") : NULL;
  if (found == NULL && shell != NULL) found = GetProcAddress(shell, MAKEINTRESOURCEA(72));
  decltype(&Shell_GetCachedImageIndexW) cachedIcon =
      reinterpret_cast<decltype(&Shell_GetCachedImageIndexW)>(reinterpret_cast<void*>(found));
  DWORD lastRepaint = GetTickCount() - REPAINT_INTERVAL;
  bool unpainted = false;
  for (;;) {
    WaitForSingleObject(menu->idle, INFINITE);
    EnterCriticalSection(&menu->lock);
    bool closed = menu->closed;
    MenuEntry* item = closed ? NULL : menu->waiting;
    if (item != NULL) menu->waiting = item->nextWaiting;
    bool last = menu->waiting == NULL;
    LeaveCriticalSection(&menu->lock);
    if (closed) break;
    if (item == NULL) {
      WaitForSingleObject(menu->wake, INFINITE);
      continue;
    }
    int icon = -1;
    if (item->shellIcon == 0) {
      icon = ShellIconIndex(item->path);
    } else if (cachedIcon != NULL && shellPath[0] != 0) {
      icon = cachedIcon(shellPath, -item->shellIcon, 0);  // below 0: a resource number
    }
    InterlockedExchange(reinterpret_cast<LONG volatile*>(&item->icon), icon);
    unpainted = unpainted || icon >= 0;
    DWORD now = GetTickCount();
    if (unpainted && (last || now - lastRepaint >= REPAINT_INTERVAL) &&
        InterlockedExchange(&menu->repaintPosted, 1) == 0) {
      PostMessageA(menu->owner, UM_ICONS_READY, 0, 0);
      lastRepaint = now;
      unpainted = false;
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  ReleaseMenu(menu);
  return 0;
}

static WCHAR* ShellFolderCopy(OwnMenu* menu, int csidl) {
  WCHAR path[MAX_PATH];
  if (!ShellFolderPath(csidl, path)) return NULL;
  WCHAR* kept = static_cast<WCHAR*>(Allocate(menu, (lstrlenW(path) + 1) * sizeof(WCHAR)));
  if (kept != NULL) lstrcpyW(kept, path);
  return kept;
}

// Explorer's classic items at the root, after a separator: Settings, Find and Run, each
// with shell32's icon for it; their "&" gives each its access key.
static void AppendRootItems(OwnMenu* menu) {
  static const struct {
    UINT id;
    const WCHAR* text;
    int icon;
  } kItems[] = {{ID_SETTINGS, L"&Settings", SHELL_ICON_SETTINGS},
                {ID_FIND, L"&Find...", SHELL_ICON_FIND},
                {ID_RUN, L"&Run...", SHELL_ICON_RUN}};
  AppendMenuW(menu->root, MF_SEPARATOR, 0, NULL);
  MenuEntry* first = NULL;
  MenuEntry* last = NULL;
  for (const auto& row : kItems) {
    MenuEntry* item = static_cast<MenuEntry*>(Allocate(menu, sizeof(MenuEntry)));
    if (item == NULL || !AppendMenuW(menu->root, MF_STRING, row.id, row.text)) continue;
    item->firstUnit = row.text[1];
    item->icon = ICON_UNKNOWN;
    item->shellIcon = row.icon;
    SetItemData(menu->root, GetMenuItemCount(menu->root) - 1, item);
    if (last != NULL) {
      last->nextWaiting = item;
    } else {
      first = item;
    }
    last = item;
  }
  QueueIcons(menu, first, last);
}

static OwnMenu* OpenMenu(POINT cursor) {
  HANDLE heap = HeapCreate(0, 0, 0);
  if (heap == NULL) return NULL;
  OwnMenu* menu = static_cast<OwnMenu*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(OwnMenu)));
  if (menu != NULL) menu->heap = heap;
  MenuFolder* root = menu != NULL ? NewFolder(menu) : NULL;
  if (root == NULL) {
    HeapDestroy(heap);
    return NULL;
  }
  menu->root = root->menu;
  menu->owner = Program.hwndMain;
  menu->serial = ++lastSerial;
  menu->iconSize = SmallIconSizeFor(MonitorDpi(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST)));
  root->paths[0] = ShellFolderCopy(menu, CSIDL_STARTMENU);
  root->paths[1] = ShellFolderCopy(menu, CSIDL_COMMON_STARTMENU);
  menu->programs[0] = ShellFolderCopy(menu, CSIDL_PROGRAMS);
  menu->programs[1] = ShellFolderCopy(menu, CSIDL_COMMON_PROGRAMS);
  // One folder for both (a profile set up so) is listed once.
  if (root->paths[0] != NULL && root->paths[1] != NULL &&
      lstrcmpiW(root->paths[0], root->paths[1]) == 0) {
    root->paths[1] = NULL;
  }
  InitializeCriticalSection(&menu->lock);
  menu->references = 1;
  menu->wake = CreateEventA(NULL, FALSE, FALSE, NULL);
  menu->idle = CreateEventA(NULL, TRUE, FALSE, NULL);
  if (menu->wake != NULL && menu->idle != NULL) {
    menu->references = 2;
    HANDLE thread = CreateThread(NULL, 0, LookUpIcons, menu, 0, NULL);
    if (thread != NULL) {
      CloseHandle(thread);
    } else {
      menu->references = 1;  // no icons then
    }
  }
  AppendRootItems(menu);
  return menu;
}

// The icon thread ends after the look-up it is in, if any, and a listing thread once its
// folder is read; the menu is freed by whichever lets go last.
static void CloseMenu(OwnMenu* menu) {
  EnterCriticalSection(&menu->lock);
  menu->closed = true;
  menu->waiting = NULL;
  LeaveCriticalSection(&menu->lock);
  if (menu->wake != NULL) SetEvent(menu->wake);
  if (menu->idle != NULL) SetEvent(menu->idle);
  DestroyMenu(menu->root);
  ReleaseMenu(menu);
}

// A copy of the chosen entry's path that outlives the menu, or null.
static WCHAR* ChosenPath(OwnMenu* menu, UINT id) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  if (id == 0 || !GetMenuItemInfoW(menu->root, id, FALSE, &info) || info.dwItemData == 0) {
    return NULL;
  }
  const WCHAR* path = reinterpret_cast<MenuEntry*>(info.dwItemData)->path;
  if (path == NULL) return NULL;
  WCHAR* copy =
      static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, (lstrlenW(path) + 1) * sizeof(WCHAR)));
  if (copy != NULL) lstrcpyW(copy, path);
  return copy;
}

// The Settings app where Windows has one (its "ms-settings:" names are registered, Windows
// 8 on), else the Control Panel.
static void OpenSettings(void) {
  HKEY key = NULL;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"ms-settings", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
    OpenStartEntry(L"ms-settings:");
    return;
  }
  WCHAR path[MAX_PATH];
  UINT length = GetSystemDirectoryW(path, MAX_PATH - 13);
  if (length == 0 || length >= MAX_PATH - 13) return;
  lstrcatW(path, L"\\control.exe");
  OpenStartEntry(path);
}

// The shell's Run box, shell32's RunFileDlg: exported by number only (61), with wide
// strings on Windows NT. It is modal, so it runs on a thread of its own.
typedef void(WINAPI* RunFileDialogProc)(HWND owner, HICON icon, LPCWSTR folder, LPCWSTR title,
                                        LPCWSTR prompt, UINT flags);
enum { RUN_FILE_DIALOG = 61 };

static DWORD WINAPI RunBox(LPVOID parameter) {
  RunFileDialogProc runFileDialog = reinterpret_cast<RunFileDialogProc>(parameter);
  HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  runFileDialog(NULL, NULL, NULL, NULL, NULL, 0);
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

static void ShowRunBox(void) {
  HMODULE shell = GetModuleHandleA("shell32.dll");
  FARPROC found = shell != NULL ? GetProcAddress(shell, MAKEINTRESOURCEA(RUN_FILE_DIALOG)) : NULL;
  if (found == NULL) return;
  HANDLE thread = CreateThread(NULL, 0, RunBox, reinterpret_cast<LPVOID>(found), 0, NULL);
  if (thread != NULL) CloseHandle(thread);
}

void ShowOwnStartMenu(void) {
  POINT cursor;
  if (Program.popupBusy == 1 || Program.ownMenu != NULL || !GetCursorPos(&cursor)) return;
  OwnMenu* menu = OpenMenu(cursor);
  if (menu == NULL) return;
  Program.ownMenu = menu;
  // Like a context menu, it needs the foreground to have the keyboard and to close on a
  // click elsewhere; the click on the popup that chose it lets the program take it. A
  // right click meanwhile finds the popup busy and is dropped.
  Program.popupBusy = 1;
  SetForegroundWindow(Program.hwndMain);
  UINT flags = TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD;
  UINT id = 0;
  do {
    menu->trackAgain = false;
    id = static_cast<UINT>(
        TrackPopupMenu(menu->root, flags, cursor.x, cursor.y, 0, Program.hwndMain, NULL));
  } while (id == 0 && menu->trackAgain);
  PostMessageA(Program.hwndMain, WM_NULL, 0, 0);
  Program.popupBusy = 0;
  WCHAR* chosen = ChosenPath(menu, id);
  Program.ownMenu = NULL;
  CloseMenu(menu);

  switch (id) {
    case ID_SETTINGS: OpenSettings(); break;
    case ID_FIND: ShowFindBox(cursor, Program.hwndTarget); break;
    case ID_RUN: ShowRunBox(); break;
    default:
      // A started program takes the foreground itself; without one the focus goes back
      // to the window that was clicked.
      if (chosen != NULL) {
        OpenStartEntry(chosen);
      } else {
        SetForegroundWindow(Program.hwndTarget);
      }
      break;
  }
  if (chosen != NULL) HeapFree(GetProcessHeap(), 0, chosen);
}

static MenuFolder* FolderOf(HMENU popup) {
  MENUINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = MIM_MENUDATA;
  if (!GetMenuInfo(popup, &info) || info.dwMenuData == 0) return NULL;
  MenuFolder* folder = reinterpret_cast<MenuFolder*>(info.dwMenuData);
  return folder->menu == popup ? folder : NULL;
}

// A folder is listed when its submenu first opens. The opening waits for the listing at
// most LISTING_WAIT, so that the main thread, which also serves the hook for the programs
// of the other word size, is never held long; a folder slower than that shows a greyed
// placeholder until its listing arrives (OnFolderListed).
static void OnInitMenuPopup(OwnMenu* menu, HMENU popup) {
  MenuFolder* folder = FolderOf(popup);
  if (folder == NULL || folder->filled) return;
  if (!folder->listing) StartListing(menu, folder);
  if (folder->listed == NULL || WaitForSingleObject(folder->listed, LISTING_WAIT) == WAIT_OBJECT_0) {
    FillFolder(menu, folder);
  } else if (!folder->placeholder) {
    folder->placeholder = true;
    InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 0, L"(Listing...)");
  }
}

struct OpenMenuSearch {
  HMENU menu;
  HWND window;
};

// MN_GETHMENU: the menu that a menu window shows.
static BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM lParam) {
  OpenMenuSearch* search = reinterpret_cast<OpenMenuSearch*>(lParam);
  if (!IsMenuWindow(hwnd) || !IsWindowVisible(hwnd) ||
      reinterpret_cast<HMENU>(SendMessageW(hwnd, MN_GETHMENU, 0, 0)) != search->menu) {
    return TRUE;
  }
  search->window = hwnd;
  return FALSE;
}

// A late listing: the submenu gets its items. A menu window keeps the size it opened with,
// so an open submenu is closed and opened again, as the Left and Right keys do: the menu
// loop takes keys from the thread's queue, whatever their window. They go to the owner, as
// the submenu's window is gone after the first.
static void OnFolderListed(OwnMenu* menu, WPARAM serial, LPARAM lParam) {
  MenuFolder* folder = reinterpret_cast<MenuFolder*>(lParam);
  if (serial != menu->serial || folder->filled) return;
  FillFolder(menu, folder);
  OpenMenuSearch search = {folder->menu, NULL};
  EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&search));
  if (search.window == NULL) return;
  if (folder->menu == menu->root) {  // no parent to open it again from: the menu is shown anew
    menu->trackAgain = true;
    EndMenu();
    return;
  }
  PostMessageW(menu->owner, WM_KEYDOWN, VK_LEFT, 0);
  PostMessageW(menu->owner, WM_KEYDOWN, VK_RIGHT, 0);
}

static void OnDrawItem(OwnMenu* menu, const DRAWITEMSTRUCT* draw) {
  const MenuEntry* item = reinterpret_cast<const MenuEntry*>(draw->itemData);
  if (item == NULL || item->icon < 0) return;
  int top = (draw->rcItem.top + draw->rcItem.bottom - menu->iconSize) / 2;
  DrawShellIcon(draw->hDC, item->icon, draw->rcItem.left, top, menu->iconSize);
}

// The main window is an ANSI window: a typed letter arrives in the system's code page.
static WCHAR TypedUnit(WPARAM wParam) {
  if (LOWORD(wParam) > 0xFF) return LOWORD(wParam);
  char byte = static_cast<char>(LOWORD(wParam));
  WCHAR unit = 0;
  MultiByteToWideChar(CP_ACP, 0, &byte, 1, &unit, 1);
  return unit;
}

// The names carry no mnemonics (their "&"s are doubled), so every typed letter but the
// root's own items' access keys comes here.
static LRESULT OnMenuChar(OwnMenu* menu, WPARAM wParam, HMENU popup) {
  int count = GetMenuItemCount(popup);
  if (count <= 0) return MAKELRESULT(0, MNC_IGNORE);
  char16_t* firsts = static_cast<char16_t*>(HeapAlloc(menu->heap, 0, count * sizeof(char16_t)));
  if (firsts == NULL) return MAKELRESULT(0, MNC_IGNORE);
  int current = -1;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_STATE;
    GetMenuItemInfoW(popup, i, TRUE, &info);
    const MenuEntry* item = reinterpret_cast<const MenuEntry*>(info.dwItemData);
    firsts[i] = item != NULL ? item->firstUnit : 0;
    if ((info.fState & MFS_HILITE) != 0) current = i;
  }
  LetterChoice choice = ChooseItemByLetter(firsts, count, current, UpperCase(TypedUnit(wParam)));
  HeapFree(menu->heap, 0, firsts);
  if (choice.index < 0) return MAKELRESULT(0, MNC_IGNORE);
  return MAKELRESULT(choice.index, choice.execute ? MNC_EXECUTE : MNC_SELECT);
}

// Icons found since the last repaint: the open menu windows are this thread's "#32768"
// windows.
static BOOL CALLBACK RepaintMenuWindow(HWND hwnd, LPARAM) {
  if (IsMenuWindow(hwnd)) InvalidateRect(hwnd, NULL, FALSE);
  return TRUE;
}

bool OnOwnStartMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  OwnMenu* menu = Program.ownMenu;
  if (menu == NULL) return false;
  switch (message) {
    case WM_INITMENUPOPUP:
      if (menu->idle != NULL) ResetEvent(menu->idle);
      OnInitMenuPopup(menu, reinterpret_cast<HMENU>(wParam));
      *result = 0;
      return true;
    case WM_MEASUREITEM: {
      MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_MENU) return false;
      measure->itemWidth = menu->iconSize + ICON_GAP;
      measure->itemHeight = menu->iconSize;
      *result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlType != ODT_MENU) return false;
      OnDrawItem(menu, draw);
      *result = TRUE;
      return true;
    }
    case WM_MENUCHAR:
      *result = OnMenuChar(menu, wParam, reinterpret_cast<HMENU>(lParam));
      return true;
    case WM_ENTERIDLE:
      if (menu->idle != NULL) SetEvent(menu->idle);
      *result = 0;
      return true;
    case UM_ICONS_READY:
      InterlockedExchange(&menu->repaintPosted, 0);
      EnumThreadWindows(GetCurrentThreadId(), RepaintMenuWindow, 0);
      *result = 0;
      return true;
    case UM_FOLDER_LISTED:
      OnFolderListed(menu, wParam, lParam);
      *result = 0;
      return true;
    default: return false;
  }
}
