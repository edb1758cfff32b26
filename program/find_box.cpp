#include "find_box.h"

#include <objbase.h>
#include <shlobj.h>

#include "../common/private_messages.h"
#include "apps_folder.h"
#include "find_rules.h"
#include "popup_menu.h"
#include "popup_rules.h"
#include "program_state.h"
#include "resource.h"
#include "shell_folder.h"
#include "shell_icons.h"
#include "start_entry.h"
#include "start_folder_rules.h"
#include "start_names.h"
#include "start_names_rules.h"

static const WCHAR kFindClass[] = L"PivotrixFind";

// Sizes at 96 DPI, drawn larger on a monitor of a higher one.
enum {
  BOX_WIDTH = 320,
  BOX_ROWS = 12,     // entries shown at once
  ROW_PADDING = 4,   // above and below an entry's icon or text together
  TEXT_PADDING = 4,  // around the text field, and between an icon and its name
  NAME_DEPTH = 32,   // folders below a Start Menu that are still searched
  FOLDED_SIZE = 3 * START_NAME_SIZE,  // a name decomposed: a letter may take three units
};
enum {
  REPAINT_INTERVAL = 100,  // ms: icons found meanwhile are drawn together
  TYPING_PAUSE = 150,      // ms since the last key before icons are looked up again
};

// An entry of either Start Menu, at any depth below it, or an app of the shell's
// Applications folder.
struct FoundEntry {
  WCHAR* path;  // or the name the shell opens the app by
  WCHAR* shown;       // its name as the menu shows it
  char16_t* folded;   // the shown name in the form the typed text is compared in
  LONG volatile icon;  // its index in the system image list, once looked up; -1 until then
  bool asked;          // its icon has been asked for
};

// One showing of the box, shared with the thread that reads the entries: whichever lets
// go last frees it. The entries live in the box's own heap, which goes at once.
struct FindBox {
  HANDLE heap;
  LONG references;
  LONG volatile closed;
  HWND hwnd;
  HWND text;
  HWND list;
  HWND focusBack;
  HFONT font;
  uint32_t dpi;
  int iconSize;
  int rowHeight;
  // Written by the thread before it posts UM_FIND_READY, only read after that.
  FoundEntry* entries;
  int count;
  int capacity;
  int shortcuts;  // the entries before the apps
  const char16_t** names;  // the folded names, in the entries' order
  // Entries whose icons are wanted, the last drawn on top, and what wakes the thread for
  // them or for the box's closing.
  CRITICAL_SECTION lock;
  int* wanted;
  int wantedCount;
  HANDLE wake;
  DWORD volatile lastTyped;  // when the list was last narrowed
  // The box's own.
  bool ready;
  bool startWhenReady;  // Enter came before the entries
  int* matches;         // indexes of the entries that the list shows, in its order
  int8_t* groups;
  int matchCount;
  WNDPROC textProc;
  WNDPROC listProc;
};

static FindBox* BoxOf(HWND hwnd) {
  return reinterpret_cast<FindBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

static void* Allocate(FindBox* box, SIZE_T bytes) {
  return HeapAlloc(box->heap, HEAP_ZERO_MEMORY, bytes);
}

static void ReleaseBox(FindBox* box) {
  if (InterlockedDecrement(&box->references) != 0) return;
  if (box->wake != NULL) CloseHandle(box->wake);
  DeleteCriticalSection(&box->lock);
  HeapDestroy(box->heap);
}

// Names pass between the rules (UTF-16 as char16_t) and the system (WCHAR) by copy.
static void CopyUnits(char16_t* to, const WCHAR* from, int length) {
  for (int i = 0; i < length; ++i) to[i] = from[i];
  to[length] = 0;
}

static void CopyUnits(WCHAR* to, const char16_t* from, int length) {
  for (int i = 0; i < length; ++i) to[i] = from[i];
  to[length] = 0;
}

static WCHAR* Keep(FindBox* box, const WCHAR* text, int length) {
  WCHAR* kept = static_cast<WCHAR*>(Allocate(box, (length + 1) * sizeof(WCHAR)));
  if (kept != NULL) lstrcpynW(kept, text, length + 1);
  return kept;
}

// The form names and the typed text are compared in, as the user's language compares them
// ignoring case and accents: letters decomposed and their marks dropped ("É" becomes "e"),
// compatibility forms folded ("Ａ" becomes "A"), then lower case by the user's locale.
static int FoldText(const WCHAR* text, int length, char16_t (&folded)[FOLDED_SIZE]) {
  WCHAR decomposed[FOLDED_SIZE];
  int units = FoldStringW(MAP_COMPOSITE | MAP_FOLDCZONE, text, length, decomposed, FOLDED_SIZE - 1);
  decomposed[units] = 0;
  CopyUnits(folded, decomposed, units);
  units = DropCombiningMarks(folded);
  CopyUnits(decomposed, folded, units);
  // Not mapped in place: Wine's LCMapStringW, asked for linguistic casing with one buffer
  // for both strings, maps nothing.
  WCHAR lower[FOLDED_SIZE];
  units = units == 0 ? 0
                     : LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING,
                                    decomposed, units, lower, FOLDED_SIZE - 1);
  CopyUnits(folded, lower, units);
  return units;
}

static bool AddFound(FindBox* box, const WCHAR* path, const WCHAR* shown, int shownLength,
                     int icon) {
  if (box->count == box->capacity) {
    int capacity = box->capacity == 0 ? 64 : 2 * box->capacity;
    SIZE_T bytes = capacity * sizeof(FoundEntry);
    void* grown = box->entries == NULL
                      ? HeapAlloc(box->heap, HEAP_ZERO_MEMORY, bytes)
                      : HeapReAlloc(box->heap, HEAP_ZERO_MEMORY, box->entries, bytes);
    if (grown == NULL) return false;
    box->entries = static_cast<FoundEntry*>(grown);
    box->capacity = capacity;
  }
  char16_t folded[FOLDED_SIZE];
  int foldedLength = FoldText(shown, shownLength, folded);
  FoundEntry* entry = &box->entries[box->count];
  entry->icon = icon;
  entry->asked = icon >= 0;
  entry->path = Keep(box, path, lstrlenW(path));
  entry->shown = Keep(box, shown, shownLength);
  entry->folded = static_cast<char16_t*>(Allocate(box, (foldedLength + 1) * sizeof(char16_t)));
  for (int i = 0; entry->folded != NULL && i <= foldedLength; ++i) entry->folded[i] = folded[i];
  if (entry->path == NULL || entry->shown == NULL || entry->folded == NULL) return false;
  ++box->count;
  return true;
}

// `path` is the entry's, `length` units of it its folder's.
static bool AddEntry(FindBox* box, WCHAR* path, int length, const WIN32_FIND_DATAW& found) {
  WCHAR shown[START_NAME_SIZE];
  path[length] = 0;
  int shownLength = LookUpFoundName(path, found, shown, START_NAME_SIZE);
  path[length] = L'\\';
  return AddFound(box, path, shown, shownLength, -1);
}

// An app joins the entries as the menu lists it: a packaged app that no shortcut of the
// same name, compared as the typed text is, stands for.
static bool AddApp(const ShellApp& app, void* context) {
  FindBox* box = static_cast<FindBox*>(context);
  int idLength = lstrlenW(app.id);
  int shownLength = lstrlenW(app.name);
  if (idLength >= START_NAME_SIZE || shownLength >= START_NAME_SIZE) return true;
  char16_t id[START_NAME_SIZE];
  CopyUnits(id, app.id, idLength);
  if (!IsPackagedAppId(id)) return true;
  char16_t folded[FOLDED_SIZE];
  FoldText(app.name, shownLength, folded);
  for (int i = 0; i < box->shortcuts; ++i) {
    const char16_t* other = box->entries[i].folded;
    int at = 0;
    while (other[at] == folded[at] && folded[at] != 0) ++at;
    if (other[at] == folded[at]) return true;
  }
  return AddFound(box, app.start, app.name, shownLength, app.icon);
}

// Adds the listed entries of a folder and of the folders in it, `depth` levels down at
// most. `path` holds the folder after four units of room for the "\\?\" prefix, which a
// search past MAX_PATH needs; folders that are links elsewhere are not followed, as they
// may lead back up.
static void ReadFolder(FindBox* box, WCHAR* path, int length, int depth) {
  enum { PATH_ROOM = 32767 };
  if (length + 2 + START_NAME_SIZE >= PATH_ROOM - 4 || box->closed) return;
  lstrcpyW(path + 4 + length, L"\\*");
  bool longPath = length + 2 >= MAX_PATH && path[4] != 0 && path[5] == L':';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(longPath ? path : path + 4, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    int nameLength = lstrlenW(found.cFileName);
    char16_t name[START_NAME_SIZE];
    CopyUnits(name, found.cFileName, nameLength);
    if (!IsListedEntry(name, found.dwFileAttributes)) continue;
    lstrcpyW(path + 4 + length + 1, found.cFileName);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      if (!AddEntry(box, path + 4, length, found)) break;
    } else if (depth > 0 && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      ReadFolder(box, path, length + 1 + nameLength, depth - 1);
    }
  } while (FindNextFileW(search, &found) && !box->closed);
  FindClose(search);
}

// In the user's locale's order, ignoring case, as the menu orders its items.
static int CompareShown(const void* context, int a, int b) {
  const FoundEntry* entries = static_cast<const FoundEntry*>(context);
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entries[a].shown, -1,
                        entries[b].shown, -1) - CSTR_EQUAL;
}

// The entries in the order of their shown names, with the folded names beside them.
static bool SortEntries(FindBox* box) {
  int count = box->count;
  int* order = static_cast<int*>(Allocate(box, (count + 1) * sizeof(int)));
  int* scratch = static_cast<int*>(Allocate(box, (count + 1) * sizeof(int)));
  FoundEntry* sorted = static_cast<FoundEntry*>(Allocate(box, (count + 1) * sizeof(FoundEntry)));
  box->names = static_cast<const char16_t**>(Allocate(box, (count + 1) * sizeof(char16_t*)));
  box->wanted = static_cast<int*>(Allocate(box, (count + 1) * sizeof(int)));
  if (order == NULL || scratch == NULL || sorted == NULL || box->names == NULL ||
      box->wanted == NULL) {
    return false;
  }
  for (int i = 0; i < count; ++i) order[i] = i;
  SortIndexes(order, count, scratch, CompareShown, box->entries);
  for (int i = 0; i < count; ++i) sorted[i] = box->entries[order[i]];
  box->entries = sorted;
  box->capacity = count;
  for (int i = 0; i < count; ++i) box->names[i] = box->entries[i].folded;
  return true;
}

// Looks up the small icons, as the shell shows them, of the entries that the list has
// drawn without one, until the box closes. The shell may take several milliseconds an
// entry (it reads each shortcut and its target): only the entries shown are looked up,
// not while the user types, so that each key's list comes at once, and the list is
// repainted at most every REPAINT_INTERVAL and once none is left.
static void LookUpIcons(FindBox* box) {
  DWORD lastRepaint = GetTickCount();
  bool unpainted = false;
  while (!box->closed) {
    DWORD sinceTyped = GetTickCount() - box->lastTyped;
    if (sinceTyped < TYPING_PAUSE) {
      WaitForSingleObject(box->wake, TYPING_PAUSE - sinceTyped);
      continue;
    }
    EnterCriticalSection(&box->lock);
    int index = box->wantedCount > 0 ? box->wanted[--box->wantedCount] : -1;
    LeaveCriticalSection(&box->lock);
    if (index >= 0) {
      InterlockedExchange(&box->entries[index].icon, ShellIconIndex(box->entries[index].path));
      unpainted = true;
    }
    DWORD now = GetTickCount();
    if (unpainted && (index < 0 || now - lastRepaint >= REPAINT_INTERVAL)) {
      PostMessageW(box->hwnd, UM_FIND_ICONS, 0, 0);
      lastRepaint = now;
      unpainted = false;
    }
    if (index < 0) WaitForSingleObject(box->wake, INFINITE);
  }
}

// The reading thread: the entries of both Start Menus, at any depth, and the apps of the
// shell's Applications folder that the menu lists, sorted; then the icons of those shown. The file system may be slow or far away, which the box's window
// must never wait for.
static DWORD WINAPI ReadEntries(LPVOID parameter) {
  FindBox* box = static_cast<FindBox*>(parameter);
  HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
  WCHAR folders[2][MAX_PATH];
  bool found[2] = {ShellFolderPath(CSIDL_STARTMENU, folders[0]),
                   ShellFolderPath(CSIDL_COMMON_STARTMENU, folders[1])};
  // One folder for both (a profile set up so) is read once.
  if (found[0] && found[1] && lstrcmpiW(folders[0], folders[1]) == 0) found[1] = false;
  WCHAR* path = static_cast<WCHAR*>(Allocate(box, 32768 * sizeof(WCHAR)));
  if (path != NULL) {
    lstrcpyW(path, L"\\\\?\\");
    for (int i = 0; i < 2; ++i) {
      if (!found[i]) continue;
      lstrcpyW(path + 4, folders[i]);
      ReadFolder(box, path, lstrlenW(folders[i]), NAME_DEPTH);
    }
  }
  ForgetShownNames();
  box->shortcuts = box->count;
  if (SUCCEEDED(com)) EnumerateApps(AddApp, box);
  if (!SortEntries(box)) box->count = 0;
  PostMessageW(box->hwnd, UM_FIND_READY, 0, 0);
  LookUpIcons(box);
  if (SUCCEEDED(com)) CoUninitialize();
  ReleaseBox(box);
  return 0;
}

// Closes the box; the focus goes back to the window that was right-clicked when asked.
static void CloseBox(FindBox* box, bool giveFocusBack) {
  HWND focusBack = box->focusBack;
  DestroyWindow(box->hwnd);
  if (giveFocusBack && focusBack != NULL) SetForegroundWindow(focusBack);
}

static void StartEntry(FindBox* box, int shown) {
  if (shown < 0 || shown >= box->matchCount) return;
  OpenStartEntry(box->entries[box->matches[shown]].path);
  CloseBox(box, false);
}

static void StartSelected(FindBox* box) {
  if (!box->ready) {
    box->startWhenReady = true;
    return;
  }
  StartEntry(box, static_cast<int>(SendMessageW(box->list, LB_GETCURSEL, 0, 0)));
}

// The list shows the entries that hold the text typed so far, the first one selected.
static void Narrow(FindBox* box) {
  if (!box->ready) return;
  WCHAR typed[START_NAME_SIZE];
  int length = GetWindowTextW(box->text, typed, START_NAME_SIZE);
  char16_t folded[FOLDED_SIZE];
  FoldText(typed, length, folded);
  box->matchCount = FindMatches(box->names, box->count, folded, box->groups, box->matches);
  box->lastTyped = GetTickCount();
  SendMessageW(box->list, LB_SETCOUNT, box->matchCount, 0);
  SendMessageW(box->list, LB_SETCURSEL, box->matchCount > 0 ? 0 : -1, 0);
}

static void OnEntriesRead(FindBox* box) {
  box->matches = static_cast<int*>(Allocate(box, (box->count + 1) * sizeof(int)));
  box->groups = static_cast<int8_t*>(Allocate(box, box->count + 1));
  if (box->matches == NULL || box->groups == NULL) return;
  box->ready = true;
  Narrow(box);
  if (box->startWhenReady) StartSelected(box);
}

// Up and Down in the text field move the list's selection, a page at a time with Page Up
// and Page Down; Enter starts the selected entry and Escape closes the box.
static bool OnTextKey(FindBox* box, WPARAM key) {
  int step = 0;
  switch (key) {
    case VK_UP: step = -1; break;
    case VK_DOWN: step = 1; break;
    case VK_PRIOR: step = -(BOX_ROWS - 1); break;
    case VK_NEXT: step = BOX_ROWS - 1; break;
    case VK_RETURN: StartSelected(box); return true;
    case VK_ESCAPE: CloseBox(box, true); return true;
    default: return false;
  }
  if (box->matchCount == 0) return true;
  int selected = static_cast<int>(SendMessageW(box->list, LB_GETCURSEL, 0, 0)) + step;
  if (selected < 0) selected = 0;
  if (selected >= box->matchCount) selected = box->matchCount - 1;
  SendMessageW(box->list, LB_SETCURSEL, selected, 0);
  return true;
}

// The text field keeps the keyboard: its keys that move or choose, and the mouse wheel, go
// to the list.
static LRESULT CALLBACK TextProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FindBox* box = BoxOf(GetParent(hwnd));
  if (message == WM_KEYDOWN && OnTextKey(box, wParam)) return 0;
  if (message == WM_MOUSEWHEEL) return SendMessageW(box->list, message, wParam, lParam);
  // Their characters would only make the field beep.
  if (message == WM_CHAR && (wParam == L'\r' || wParam == 0x1B)) return 0;
  return CallWindowProcW(box->textProc, hwnd, message, wParam, lParam);
}

// A click on an entry starts it; the list never takes the focus from the text field.
static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FindBox* box = BoxOf(GetParent(hwnd));
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
    LRESULT at = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, lParam);
    if (HIWORD(at) != 0) return 0;  // below the last entry
    if (message == WM_LBUTTONDOWN) {
      SendMessageW(hwnd, LB_SETCURSEL, LOWORD(at), 0);
    } else {
      StartEntry(box, LOWORD(at));
    }
    return 0;
  }
  return CallWindowProcW(box->listProc, hwnd, message, wParam, lParam);
}

static void OnDrawItem(FindBox* box, const DRAWITEMSTRUCT* draw) {
  if (draw->itemID >= static_cast<UINT>(box->matchCount)) return;
  FoundEntry& entry = box->entries[box->matches[draw->itemID]];
  bool selected = (draw->itemState & ODS_SELECTED) != 0;
  FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  int iconSize = box->iconSize;
  int padding = ScaleToDpi(TEXT_PADDING, box->dpi);
  int top = (draw->rcItem.top + draw->rcItem.bottom - iconSize) / 2;
  if (entry.icon >= 0) {
    DrawShellIcon(draw->hDC, entry.icon, draw->rcItem.left + padding, top, iconSize);
  } else if (!entry.asked) {
    entry.asked = true;
    EnterCriticalSection(&box->lock);
    box->wanted[box->wantedCount++] = box->matches[draw->itemID];
    LeaveCriticalSection(&box->lock);
    SetEvent(box->wake);
  }
  RECT text = draw->rcItem;
  text.left += 2 * padding + iconSize;
  SetBkMode(draw->hDC, TRANSPARENT);
  SetTextColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(draw->hDC, entry.shown, -1, &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

static LRESULT OnCreate(HWND hwnd, const CREATESTRUCTW* create) {
  FindBox* box = static_cast<FindBox*>(create->lpCreateParams);
  box->hwnd = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
  RECT client;
  GetClientRect(hwnd, &client);
  int padding = ScaleToDpi(TEXT_PADDING, box->dpi);
  int textHeight = box->rowHeight + padding;
  box->text = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, client.right,
                              textHeight, hwnd, reinterpret_cast<HMENU>(IDC_FIND_TEXT),
                              Program.hInstance, NULL);
  box->list = CreateWindowExW(
      0, L"LISTBOX", NULL,
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT,
      0, textHeight, client.right, client.bottom - textHeight, hwnd,
      reinterpret_cast<HMENU>(IDC_FIND_LIST), Program.hInstance, NULL);
  if (box->text == NULL || box->list == NULL) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);  // the caller frees the box
    return -1;
  }
  SendMessageW(box->text, WM_SETFONT, reinterpret_cast<WPARAM>(box->font), FALSE);
  SendMessageW(box->text, EM_LIMITTEXT, START_NAME_SIZE - 1, 0);  // as much as a name holds
  SendMessageW(box->list, WM_SETFONT, reinterpret_cast<WPARAM>(box->font), FALSE);
  box->textProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(box->text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextProc)));
  box->listProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(box->list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
  return 0;
}

static void OnDestroy(FindBox* box) {
  if (Program.hwndFind == box->hwnd) Program.hwndFind = NULL;
  SetWindowLongPtrW(box->hwnd, GWLP_USERDATA, 0);
  InterlockedExchange(&box->closed, 1);
  SetEvent(box->wake);
  if (box->font != NULL) DeleteObject(box->font);
  ReleaseBox(box);
}

static LRESULT CALLBACK FindBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return OnCreate(hwnd, reinterpret_cast<CREATESTRUCTW*>(lParam));
  FindBox* box = BoxOf(hwnd);
  if (box == NULL) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_SETFOCUS: SetFocus(box->text); return 0;
    // A click elsewhere closes the box, as it closes a menu; it is posted, not done inside
    // the activation change.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE: CloseBox(box, false); return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_FIND_TEXT && HIWORD(wParam) == EN_CHANGE) Narrow(box);
      return 0;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = box->rowHeight;
      return TRUE;
    case WM_DRAWITEM: OnDrawItem(box, reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case UM_FIND_READY: OnEntriesRead(box); return 0;
    case UM_FIND_ICONS: InvalidateRect(box->list, NULL, FALSE); return 0;
    case WM_DESTROY: OnDestroy(box); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

static bool RegisterFindClass(void) {
  WNDCLASSW wc = {};
  if (GetClassInfoW(Program.hInstance, kFindClass, &wc)) return true;
  wc.lpfnWndProc = FindBoxProc;
  wc.hInstance = Program.hInstance;
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kFindClass;
  return RegisterClassW(&wc) != 0;
}

// The system's message font, at the monitor's DPI rather than the screen's.
static HFONT FontFor(uint32_t dpi, int* height) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return NULL;
  HDC screen = GetDC(NULL);
  int screenDpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  if (screenDpi > 0) metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, screenDpi);
  *height = metrics.lfMessageFont.lfHeight < 0 ? -metrics.lfMessageFont.lfHeight
                                               : metrics.lfMessageFont.lfHeight;
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

static FindBox* NewBox(HWND focusBack, uint32_t dpi) {
  HANDLE heap = HeapCreate(0, 0, 0);
  if (heap == NULL) return NULL;
  FindBox* box = static_cast<FindBox*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(FindBox)));
  if (box == NULL) {
    HeapDestroy(heap);
    return NULL;
  }
  box->heap = heap;
  box->references = 1;
  InitializeCriticalSection(&box->lock);
  box->wake = CreateEventA(NULL, FALSE, FALSE, NULL);
  box->focusBack = focusBack;
  box->dpi = dpi;
  box->iconSize = SmallIconSizeFor(dpi);
  int fontHeight = box->iconSize;
  box->font = FontFor(dpi, &fontHeight);
  box->rowHeight = (fontHeight > box->iconSize ? fontHeight : box->iconSize) +
                   ScaleToDpi(ROW_PADDING, dpi);
  return box;
}

void ShowFindBox(POINT anchor, HWND focusBack) {
  if (Program.hwndFind != NULL) DestroyWindow(Program.hwndFind);
  HMONITOR monitor = MonitorFromPoint(anchor, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!RegisterFindClass() || !GetMonitorInfoW(monitor, &info)) return;
  FindBox* box = NewBox(focusBack, MonitorDpi(monitor));
  if (box == NULL) return;

  DWORD style = WS_POPUP | WS_BORDER;
  DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  RECT frame = {0, 0, ScaleToDpi(BOX_WIDTH, box->dpi),
                box->rowHeight + ScaleToDpi(TEXT_PADDING, box->dpi) + BOX_ROWS * box->rowHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  const int32_t area[4] = {info.rcWork.left, info.rcWork.top, info.rcWork.right,
                           info.rcWork.bottom};
  FindPlace place = PlaceFindBox(anchor.x, anchor.y, width, height, area);
  // Owned by the main window, as the menu is, so that it gets no button on the taskbar.
  HWND hwnd = CreateWindowExW(exStyle, kFindClass, L"Find", style, place.x, place.y, width,
                              height, Program.hwndMain, NULL, Program.hInstance, box);
  if (hwnd == NULL) {
    ReleaseBox(box);
    return;
  }
  Program.hwndFind = hwnd;
  // Like the menu it stands for, it needs the foreground to have the keyboard; the click
  // on the menu that chose it lets the program take it.
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);
  // The entries are read on a thread of their own, started once the box shows.
  if (box->wake == NULL) return;
  InterlockedIncrement(&box->references);
  HANDLE thread = CreateThread(NULL, 0, ReadEntries, box, 0, NULL);
  if (thread != NULL) {
    CloseHandle(thread);
  } else {
    ReleaseBox(box);
  }
}
