#include "popup_menu.h"

#include "../common/menu_window.h"
#include "../common/private_messages.h"
#include "popup_rules.h"
#include "program_state.h"
#include "resource.h"
#include "start_menu.h"

static_assert(STYLE_POPUP == WS_POPUP && STYLE_MINIMIZE == WS_MINIMIZE &&
                  STYLE_MAXIMIZE == WS_MAXIMIZE && STYLE_SYSMENU == WS_SYSMENU &&
                  STYLE_MINIMIZEBOX == WS_MINIMIZEBOX && STYLE_MAXIMIZEBOX == WS_MAXIMIZEBOX,
              "popup style bits match the window system's");

static HWND ToHandle(WindowId window) { return reinterpret_cast<HWND>(window); }

static WindowId ToId(HWND hwnd) { return reinterpret_cast<WindowId>(hwnd); }

// A handle that travelled as 16 bits, widened back with zero upper bits. The window system
// accepts such handles; they only compare equal to full handles on their low 16 bits.
static HWND Widen(uint16_t window) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(window)); }

static WindowId ParentOf(const void*, WindowId window) { return ToId(GetParent(ToHandle(window))); }

static uint32_t StyleOf(const void*, WindowId window) {
  return static_cast<uint32_t>(GetWindowLongA(ToHandle(window), GWL_STYLE));
}

static HWND ResolveTarget(HWND clicked) {
  WindowTree tree = {ParentOf, StyleOf, NULL, ToId(GetDesktopWindow())};
  return ToHandle(ResolveTargetWindow(ToId(clicked), tree));
}

static void AppendPicture(HMENU menu, UINT id, HBITMAP picture) {
  AppendMenuA(menu, MF_BITMAP, id, reinterpret_cast<LPCSTR>(picture));
}

// A picture of an item: the bitmap resource and the ProgramState handle it is loaded into.
struct Picture {
  const char* name;
  HBITMAP* handle;
};

// One row per popup item, in PopupItem order: its command; in the large menu its text, or a
// picture where it has one (the close item's text is built from the target's title); in the
// small menu its picture; and what choosing it does: a system command posted to the target,
// or an action of the program's own.
struct PopupRow {
  UINT id;
  const char* text;
  Picture large;
  Picture small;
  UINT systemCommand;
  void (*action)(void);
};

static const PopupRow kRows[] = {
    {IDM_START_MENU, NULL, {"menustart", &Program.bmpMenuStart},
     {"xmenustart", &Program.bmpMenuStartSmall}, 0, BeginStartMenu},
    {0, NULL, {NULL, NULL}, {NULL, NULL}, 0, NULL},  // separator
    // A harmless place to click: the popup closes and nothing happens to the window.
    {IDM_FREESPOT, "FreeSpot", {NULL, NULL}, {"xfreespot", &Program.bmpFreeSpot}, 0, NULL},
    {IDM_RESTORE_TARGET, "Restore window", {NULL, NULL}, {"xrestore", &Program.bmpRestore},
     SC_RESTORE, NULL},
    {IDM_MAXIMIZE_TARGET, "Maximize window", {NULL, NULL}, {"xmaximize", &Program.bmpMaximize},
     SC_MAXIMIZE, NULL},
    {IDM_MINIMIZE_TARGET, "Minimize window", {NULL, NULL}, {"xminimize", &Program.bmpMinimize},
     SC_MINIMIZE, NULL},
    {IDM_CLOSE_TARGET, NULL, {NULL, NULL}, {"xclose", &Program.bmpClose}, SC_CLOSE, NULL},
};
static_assert(sizeof kRows / sizeof kRows[0] == POPUP_ITEM_COUNT, "one row per popup item");

// A picture at the size that a monitor of `dpi` asks for: its pixels drawn larger, when
// that is not its own size. When the copy fails the picture keeps its own size. Kept out
// of line: the loops over the rows would otherwise hold several copies of it.
__attribute__((noinline)) static void LoadPicture(const Picture& picture, uint32_t dpi) {
  if (picture.name == NULL) return;
  HBITMAP bitmap = LoadBitmapA(Program.hInstance, picture.name);
  *picture.handle = bitmap;
  BITMAP own;
  if (bitmap == NULL || GetObjectA(bitmap, sizeof own, &own) == 0) return;
  int width = ScaleToDpi(own.bmWidth, dpi);
  int height = ScaleToDpi(own.bmHeight, dpi);
  if (width == own.bmWidth && height == own.bmHeight) return;
  HANDLE scaled = CopyImage(bitmap, IMAGE_BITMAP, width, height, LR_COPYDELETEORG);
  if (scaled != NULL) *picture.handle = static_cast<HBITMAP>(scaled);
}

// Deleted once: a second shut-down finds the handle cleared.
static void FreePicture(const Picture& picture) {
  if (picture.handle == NULL || *picture.handle == NULL) return;
  DeleteObject(*picture.handle);
  *picture.handle = NULL;
}

static void LoadPicturesFor(uint32_t dpi) {
  for (const PopupRow& row : kRows) {
    LoadPicture(row.large, dpi);
    LoadPicture(row.small, dpi);
  }
  Program.pictureDpi = dpi;
}

void FreePopupPictures(void) {
  for (const PopupRow& row : kRows) {
    FreePicture(row.large);
    FreePicture(row.small);
  }
}

typedef HRESULT(WINAPI* DpiForMonitorProc)(HMONITOR monitor, int kind, UINT* x, UINT* y);
enum { EFFECTIVE_DPI = 0 };  // MDT_EFFECTIVE_DPI: the DPI the user's scaling asks for

// Windows 8.1 and later give each monitor its own, through shcore, which
// is looked up at run time so that the program still starts on older systems; those have
// one DPI for every monitor, the screen's.
uint32_t MonitorDpi(HMONITOR monitor) {
  UINT x = 0;
  UINT y = 0;
  if (Program.dpiForMonitor != NULL &&
      reinterpret_cast<DpiForMonitorProc>(reinterpret_cast<void*>(Program.dpiForMonitor))(
          monitor, EFFECTIVE_DPI, &x, &y) == S_OK) {
    return x;
  }
  HDC screen = GetDC(NULL);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(NULL, screen);
  return static_cast<uint32_t>(dpi);
}

// shcore is looked for in the system directory alone; every system that has it (Windows 8.1
// and later) knows the flag that says so.
void LoadPopupPictures(void) {
  HMODULE shcore = LoadLibraryExA("shcore.dll", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
  Program.dpiForMonitor = shcore != NULL ? GetProcAddress(shcore, "GetDpiForMonitor") : NULL;
  POINT origin = {0, 0};
  LoadPicturesFor(MonitorDpi(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY)));
}

// The pictures are drawn again only when the popup goes to a monitor of another DPI.
static void UsePicturesFor(uint32_t dpi) {
  if (dpi == Program.pictureDpi) return;
  FreePopupPictures();
  LoadPicturesFor(dpi);
}

// The one item built with the wide functions: the target's title may hold letters that the
// system's code page can't show.
static void AppendCloseText(HMENU menu, UINT id) {
  WCHAR title[CLOSE_TITLE_LIMIT];
  int length = GetWindowTextW(Program.hwndTarget, title, CLOSE_TITLE_LIMIT);
  char16_t units[CLOSE_TITLE_LIMIT];
  for (int i = 0; i < CLOSE_TITLE_LIMIT; ++i) units[i] = i < length ? title[i] : 0;
  char16_t text[CLOSE_TEXT_SIZE];
  BuildCloseText(units, length, text);
  WCHAR wide[CLOSE_TEXT_SIZE];
  for (int i = 0; i < CLOSE_TEXT_SIZE; ++i) wide[i] = text[i];
  AppendMenuW(menu, MF_STRING, id, wide);
}

static void AppendItem(HMENU menu, PopupItem item, bool small) {
  if (item == ITEM_SEPARATOR) {
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    return;
  }
  const PopupRow& row = kRows[item];
  HBITMAP* picture = small ? row.small.handle : row.large.handle;
  if (picture != NULL) {
    AppendPicture(menu, row.id, *picture);
  } else if (item == ITEM_CLOSE) {
    AppendCloseText(menu, row.id);
  } else {
    AppendMenuA(menu, MF_STRING, row.id, row.text);
  }
}

// The monitor under the popup's point, or the primary screen when that can't be read; the
// pictures are made ready for its DPI.
static RECT MonitorAt(uint32_t point) {
  POINT at = {PackedX(point), PackedY(point)};
  RECT monitor = {0, 0, Program.screenWidth, Program.screenHeight};
  HMONITOR found = MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(found, &info)) monitor = info.rcMonitor;
  UsePicturesFor(MonitorDpi(found));
  return monitor;
}

static void ShowPopup(uint32_t point, const RECT& monitor) {
  HWND target = Program.hwndTarget;
  PopupTarget about = {};
  about.style = static_cast<uint32_t>(GetWindowLongA(target, GWL_STYLE));
  about.isMainWindow = SameWindow16(ToId(target), ToId(Program.hwndMain));
  about.isDesktop = SameWindow16(ToId(target), ToId(GetDesktopWindow()));
  PopupLayout layout = BuildPopupLayout(about, Program.extraItems);

  Program.hmenuPopup = CreatePopupMenu();
  bool small = Program.menuSize != 0;
  for (int i = 0; i < layout.count; ++i) AppendItem(Program.hmenuPopup, layout.items[i], small);

  int x = PopupAnchorX(PackedX(point), monitor.left, monitor.right);
  int y = PopupAnchorY(PackedY(point));
  // Under the Ctrl trigger the popup is the only menu, and it behaves as a context menu: it
  // has the keyboard, and a click elsewhere closes it. A menu of a program in the background
  // gets neither, so the owner takes the foreground first (the clicked program's hook let it)
  // and, once the menu is gone, gives it back to the window that was clicked. The posted
  // message lets the menu end at once on the next click, as the platform asks of such menus.
  bool takeForeground = Program.trigger == TRIGGER_CTRL;
  if (takeForeground) SetForegroundWindow(Program.hwndMain);
  TrackPopupMenu(Program.hmenuPopup, TPM_RIGHTALIGN, x, y, 0, Program.hwndMain, NULL);
  if (takeForeground) {
    PostMessageA(Program.hwndMain, WM_NULL, 0, 0);
    SetForegroundWindow(target);
  }

  // A press outside may have destroyed the menu already; a stale handle is never kept.
  if (Program.hmenuPopup != NULL) DestroyMenu(Program.hmenuPopup);
  Program.hmenuPopup = NULL;
}

void OnPopupRequest(WPARAM wParam, LPARAM lParam) {
  if (Program.popupBusy == 1) return;
  Program.pendingWindow = LOWORD(wParam);
  Program.pendingPoint =
      PopupPoint(UM_POPUP_REQUEST, static_cast<uint32_t>(lParam), GetMessagePos());
  Program.popupBusy = 1;
  Program.popupQueued = 1;
  StartTimer(TIMER_POPUP, 10);
  // The monitor depends on the point alone, so it is looked up while the timer runs rather
  // than after it: under Wine the lookup costs about 0.2 ms, the largest part of the work
  // between the timer and the popup, and pictures drawn for another DPI cost more. What
  // depends on the window is read when it fires.
  Program.pendingMonitor = MonitorAt(Program.pendingPoint);
}

void OnPopupTimer(void) {
  Program.popupQueued = 0;
  if (!KillTimerFirst(TIMER_POPUP)) return;
  Program.hwndTarget = ResolveTarget(Widen(Program.pendingWindow));
  ShowPopup(Program.pendingPoint, Program.pendingMonitor);
  Program.popupBusy = 0;
}

void OnPopupNow(WPARAM wParam, LPARAM lParam) {
  if (Program.popupBusy == 1) return;
  Program.popupBusy = 1;
  Program.hwndTarget = ResolveTarget(Widen(LOWORD(wParam)));
  uint32_t point = PopupPoint(UM_POPUP_NOW, static_cast<uint32_t>(lParam), GetMessagePos());
  ShowPopup(point, MonitorAt(point));
  Program.popupBusy = 0;
}

// The hook reports the first press after a popup request. A press on the popup is left to
// the menu, which delivers the chosen item; any other press closes the popup, or cancels it
// while it is still queued: it would otherwise open after the press meant to close it, and
// stay. Only the popup's own menu is ever destroyed here: once it is gone its handle is
// cleared.
void OnPopupClick(void) {
  HWND menuWindow = MenuWindowUnderCursor();
  DWORD menuThread = menuWindow != NULL ? GetWindowThreadProcessId(menuWindow, NULL) : 0;
  if (PressIsOnPopup(menuThread, GetCurrentThreadId())) return;
  if (Program.popupQueued == 1) {
    // A killed timer leaves no WM_TIMER behind, so its handler never runs for it.
    KillTimer(Program.hwndMain, TIMER_POPUP);
    Program.popupQueued = 0;
    Program.popupBusy = 0;
    return;
  }
  if (Program.hmenuPopup == NULL) return;
  DestroyMenu(Program.hmenuPopup);
  Program.hmenuPopup = NULL;
}

void OnPopupCommand(UINT id, LPARAM lParam) {
  for (const PopupRow& row : kRows) {
    if (row.id == 0 || row.id != id) continue;
    if (row.systemCommand != 0) {
      PostMessageA(Program.hwndTarget, WM_SYSCOMMAND, row.systemCommand, lParam);
    }
    if (row.action != NULL) row.action();
    return;
  }
}
