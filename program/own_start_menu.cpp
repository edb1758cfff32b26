#include "own_start_menu.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "../common/menu_window.h"
#include "../common/private_messages.h"
#include "find_box.h"
#include "program_state.h"
#include "shell_folder.h"
#include "start_folder_rules.h"

static_assert(ENTRY_HIDDEN == FILE_ATTRIBUTE_HIDDEN && ENTRY_SYSTEM == FILE_ATTRIBUTE_SYSTEM &&
                  ENTRY_FOLDER == FILE_ATTRIBUTE_DIRECTORY,
              "attribute bits match the file system's");
static_assert(START_NAME_SIZE == MAX_PATH, "a name as the directory search gives it");

enum { SOURCE_COUNT = 2 };        // bit 0: the user's Start Menu, bit 1: all users'
enum { ICON_GAP = 4 };            // pixels between an item's icon and its text
enum { REPAINT_INTERVAL = 100 };  // ms: icons found meanwhile are painted together

// An item of the menu, a folder or an entry.
struct MenuEntry {
  WCHAR* path;  // the entry, or the folder in the first Start Menu that holds it
  WCHAR firstUnit;         // the name's first unit in upper case, for typed letters
  HICON volatile icon;     // set by the icon thread; null until then
  MenuEntry* next;         // all the items, for the clean-up
  MenuEntry* nextWaiting;  // the items whose icon is still to be looked up
};

// A submenu, or the menu itself: the folder in each Start Menu that it shows (null where
// that Start Menu has none).
struct MenuFolder {
  HMENU menu;
  WCHAR* paths[SOURCE_COUNT];
  bool filled;
};

// One showing of the menu, shared with its icon thread: whichever lets go last frees it.
// Everything of it lives in its own heap, which goes at once.
struct OwnMenu {
  HANDLE heap;
  LONG references;
  HMENU root;
  UINT lastId;
  MenuEntry* entries;
  CRITICAL_SECTION lock;  // guards waiting and closed
  MenuEntry* waiting;     // the most recently opened submenu's first
  bool closed;
  HANDLE wake;         // set when icons wait or the menu closed
  HANDLE idle;         // set while the menu loop waits for input (and once it closed)
  LONG repaintPosted;  // a UM_ICONS_READY is on its way
  HWND owner;
};

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

static void CopyUnits(char16_t* to, const WCHAR* from, int size) {
  int i = 0;
  for (; i < size - 1 && from[i] != 0; ++i) to[i] = from[i];
  to[i] = 0;
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

static MenuFolder* NewFolder(OwnMenu* menu) {
  MenuFolder* folder = static_cast<MenuFolder*>(Allocate(menu, sizeof(MenuFolder)));
  if (folder == NULL || (folder->menu = CreatePopupMenu()) == NULL) return NULL;
  MENUINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = MIM_MENUDATA | MIM_STYLE;
  info.dwStyle = MNS_NOCHECK;  // no item is ever checked: the icon comes first
  info.dwMenuData = reinterpret_cast<ULONG_PTR>(folder);
  SetMenuInfo(folder->menu, &info);
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

// Adds the listed entries of one Start Menu's folder; a missing or unreadable folder adds
// none. A path past MAX_PATH (deep nesting) is searched with the "\\?\" prefix, which a
// path that starts with a drive letter takes as it is.
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
    char16_t name[START_NAME_SIZE];
    CopyUnits(name, found.cFileName, START_NAME_SIZE);
    if (!IsListedEntry(name, found.dwFileAttributes)) continue;
    char16_t* kept =
        static_cast<char16_t*>(Allocate(menu, (UnitCount(name) + 1) * sizeof(char16_t)));
    if (kept == NULL) break;
    for (int i = 0; i <= UnitCount(name); ++i) kept[i] = name[i];
    StartEntry entry = {kept, kept, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                        source};
    if (!Append(menu, list, entry)) break;
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// Appends one item for `entry` at `position`: a submenu for a folder, a command for an
// entry. Its picture is drawn by the owner (HBMMENU_CALLBACK), once its icon is known.
static MenuEntry* AddItem(OwnMenu* menu, MenuFolder* parent, UINT position,
                          const StartEntry& entry) {
  MenuEntry* item = static_cast<MenuEntry*>(Allocate(menu, sizeof(MenuEntry)));
  if (item == NULL || (!entry.folder && menu->lastId == 0xFFFF)) return NULL;
  item->path = JoinPath(menu, parent->paths[(entry.sources & 1u) != 0 ? 0 : 1], entry.name);
  if (item->path == NULL) return NULL;
  item->firstUnit = UpperCase(entry.name[0]);

  char16_t text[START_TEXT_SIZE];
  BuildEntryText(entry.name, ShownNameLength(entry.name, entry.folder), text);
  WCHAR shown[START_TEXT_SIZE];
  CopyUnits(shown, text, START_TEXT_SIZE);
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA | MIIM_BITMAP | MIIM_ID;
  info.fType = MFT_STRING;
  info.dwTypeData = shown;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
  info.hbmpItem = HBMMENU_CALLBACK;
  if (entry.folder) {
    MenuFolder* folder = NewFolder(menu);
    if (folder == NULL) return NULL;
    for (int i = 0; i < SOURCE_COUNT; ++i) {
      if ((entry.sources & (1u << i)) == 0) continue;
      folder->paths[i] = JoinPath(menu, parent->paths[i], entry.name);
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
  item->next = menu->entries;
  menu->entries = item;
  return item;
}

// Lists a folder of both Start Menus into its submenu, and hands the new items to the icon
// thread ahead of any that still wait: the submenu just opened is the one being looked at.
static void FillFolder(OwnMenu* menu, MenuFolder* folder) {
  folder->filled = true;
  EntryList list = {};
  for (int i = 0; i < SOURCE_COUNT; ++i) {
    if (folder->paths[i] != NULL) ReadFolder(menu, folder->paths[i], 1u << i, &list);
  }
  StartEntry* scratch =
      static_cast<StartEntry*>(HeapAlloc(menu->heap, 0, (list.count + 1) * sizeof(StartEntry)));
  int count =
      scratch == NULL ? 0 : ArrangeStartEntries(list.entries, list.count, scratch, CompareNames, CompareNames);

  MenuEntry* first = NULL;
  MenuEntry* last = NULL;
  UINT position = 0;
  for (int i = 0; i < count; ++i) {
    MenuEntry* item = AddItem(menu, folder, position, list.entries[i]);
    if (item == NULL) continue;
    ++position;
    if (last != NULL) {
      last->nextWaiting = item;
    } else {
      first = item;
    }
    last = item;
  }
  if (position == 0) AppendMenuW(folder->menu, MF_STRING | MF_GRAYED, 0, L"(Empty)");
  if (list.entries != NULL) HeapFree(menu->heap, 0, list.entries);
  if (scratch != NULL) HeapFree(menu->heap, 0, scratch);
  if (first == NULL) return;

  EnterCriticalSection(&menu->lock);
  last->nextWaiting = menu->waiting;
  menu->waiting = first;
  LeaveCriticalSection(&menu->lock);
  if (menu->wake != NULL) SetEvent(menu->wake);
}

static void ReleaseMenu(OwnMenu* menu) {
  if (InterlockedDecrement(&menu->references) != 0) return;
  for (MenuEntry* item = menu->entries; item != NULL; item = item->next) {
    if (item->icon != NULL) DestroyIcon(item->icon);
  }
  if (menu->wake != NULL) CloseHandle(menu->wake);
  if (menu->idle != NULL) CloseHandle(menu->idle);
  DeleteCriticalSection(&menu->lock);
  HeapDestroy(menu->heap);
}

// The icon thread: looks up each item's small icon as the shell shows it, the most recently
// opened submenu's first. The shell may take several milliseconds an item (it reads each
// shortcut and its target), far too long for a menu that must open at once. It looks up
// only while the menu loop waits for input, so that a submenu being opened has the machine
// to itself, and it asks the main window to repaint the open menus at most every
// REPAINT_INTERVAL and once it has no more to do: a repaint draws every item.
static DWORD WINAPI LookUpIcons(LPVOID parameter) {
  OwnMenu* menu = static_cast<OwnMenu*>(parameter);
  HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
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
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(item->path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) != 0) {
      InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&item->icon), info.hIcon);
      unpainted = true;
    }
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

static WCHAR* StartMenuFolder(OwnMenu* menu, int csidl) {
  WCHAR path[MAX_PATH];
  if (!ShellFolderPath(csidl, path)) return NULL;
  WCHAR* kept = static_cast<WCHAR*>(Allocate(menu, (lstrlenW(path) + 1) * sizeof(WCHAR)));
  if (kept != NULL) lstrcpyW(kept, path);
  return kept;
}

static OwnMenu* OpenMenu(void) {
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
  root->paths[0] = StartMenuFolder(menu, CSIDL_STARTMENU);
  root->paths[1] = StartMenuFolder(menu, CSIDL_COMMON_STARTMENU);
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
  return menu;
}

// The icon thread ends after the look-up it is in, if any; the menu is freed by whichever
// of the two lets go last.
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
  WCHAR* copy =
      static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, (lstrlenW(path) + 1) * sizeof(WCHAR)));
  if (copy != NULL) lstrcpyW(copy, path);
  return copy;
}

// "Pivotrix can't open "<name>"." and the system's text for the error, from the thread
// that tried.
static void ReportOpenFailure(const WCHAR* path, DWORD error) {
  const WCHAR* name = path + lstrlenW(path);
  while (name > path && name[-1] != L'\\') --name;
  char16_t units[START_NAME_SIZE];
  CopyUnits(units, name, START_NAME_SIZE);
  WCHAR shown[START_NAME_SIZE];
  lstrcpynW(shown, name, ShownNameLength(units, false) + 1);
  // Where the system's text has a place for a name (%1 and on), the entry's goes there.
  DWORD_PTR inserts[9];
  for (DWORD_PTR& insert : inserts) insert = reinterpret_cast<DWORD_PTR>(shown);
  WCHAR reason[512];
  if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, NULL, error, 0,
                     reason, 512, reinterpret_cast<va_list*>(inserts)) == 0) {
    wsprintfW(reason, L"Error %lu.", error);
  }
  WCHAR text[1024];
  wsprintfW(text, L"Pivotrix can't open \"%s\".\r\n\r\n%s", shown, reason);
  MessageBoxW(NULL, text, L"Pivotrix", MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

// Opens an entry as a double click in Explorer would: the shell's default verb. The shell
// may take its time (a slow program, a network drive, a shortcut to resolve), so this runs
// on a thread of its own while the main thread goes on handling the hook's messages.
static DWORD WINAPI OpenEntry(LPVOID parameter) {
  WCHAR* path = static_cast<WCHAR*>(parameter);
  HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // Any failure is reported by the box below rather than by the shell's own; the call
  // returns only once the shell is done, as the thread ends right after.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpFile = path;
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) ReportOpenFailure(path, GetLastError());
  if (SUCCEEDED(com)) CoUninitialize();
  HeapFree(GetProcessHeap(), 0, path);
  return 0;
}

void ShowOwnStartMenu(void) {
  POINT cursor;
  if (Program.popupBusy == 1 || Program.ownMenu != NULL || !GetCursorPos(&cursor)) return;
  OwnMenu* menu = OpenMenu();
  if (menu == NULL) return;
  Program.ownMenu = menu;
  // Like a context menu, it needs the foreground to have the keyboard and to close on a
  // click elsewhere; the click on the popup that chose it lets the program take it. A
  // right click meanwhile finds the popup busy and is dropped.
  Program.popupBusy = 1;
  AppendMenuW(menu->root, MF_STRING, 0xFFFF, L"&Find...");
  SetForegroundWindow(Program.hwndMain);
  UINT flags = TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD;
  UINT id = static_cast<UINT>(
      TrackPopupMenu(menu->root, flags, cursor.x, cursor.y, 0, Program.hwndMain, NULL));
  PostMessageA(Program.hwndMain, WM_NULL, 0, 0);
  Program.popupBusy = 0;
  if (id == 0xFFFF) {
    Program.ownMenu = NULL;
    CloseMenu(menu);
    ShowFindBox(cursor, Program.hwndTarget);
    return;
  }
  WCHAR* chosen = ChosenPath(menu, id);
  Program.ownMenu = NULL;
  CloseMenu(menu);

  // A started program takes the foreground itself; without one the focus goes back to the
  // window that was clicked.
  if (chosen == NULL) {
    SetForegroundWindow(Program.hwndTarget);
    return;
  }
  HANDLE thread = CreateThread(NULL, 0, OpenEntry, chosen, 0, NULL);
  if (thread != NULL) {
    CloseHandle(thread);
  } else {
    ReportOpenFailure(chosen, GetLastError());
    HeapFree(GetProcessHeap(), 0, chosen);
  }
}

static void OnInitMenuPopup(OwnMenu* menu, HMENU popup) {
  MENUINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = MIM_MENUDATA;
  if (!GetMenuInfo(popup, &info) || info.dwMenuData == 0) return;
  MenuFolder* folder = reinterpret_cast<MenuFolder*>(info.dwMenuData);
  if (folder->menu == popup && !folder->filled) FillFolder(menu, folder);
}

static void OnDrawItem(const DRAWITEMSTRUCT* draw) {
  const MenuEntry* item = reinterpret_cast<const MenuEntry*>(draw->itemData);
  HICON icon = item != NULL ? item->icon : NULL;
  if (icon == NULL) return;
  int width = GetSystemMetrics(SM_CXSMICON);
  int height = GetSystemMetrics(SM_CYSMICON);
  int top = (draw->rcItem.top + draw->rcItem.bottom - height) / 2;
  DrawIconEx(draw->hDC, draw->rcItem.left, top, icon, width, height, 0, NULL, DI_NORMAL);
}

// The main window is an ANSI window: a typed letter arrives in the system's code page.
static WCHAR TypedUnit(WPARAM wParam) {
  if (LOWORD(wParam) > 0xFF) return LOWORD(wParam);
  char byte = static_cast<char>(LOWORD(wParam));
  WCHAR unit = 0;
  MultiByteToWideChar(CP_ACP, 0, &byte, 1, &unit, 1);
  return unit;
}

// The names carry no mnemonics (their "&"s are doubled), so every typed letter comes here.
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
      measure->itemWidth = GetSystemMetrics(SM_CXSMICON) + ICON_GAP;
      measure->itemHeight = GetSystemMetrics(SM_CYSMICON);
      *result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlType != ODT_MENU) return false;
      OnDrawItem(draw);
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
    default: return false;
  }
}
