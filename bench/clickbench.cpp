// The benchmark's input harness: injects mouse input with SendInput into a testwin.exe
// started with --count-input NAME, and times what follows.
//
//   clickbench popup COUNT X Y NAME escape|click
//     COUNT right clicks at (X, Y). The cursor is moved there once; each press is handled
//     by the window before the release is injected, and the time from just before the
//     release's injection until a menu window ("#32768") is visible, polled every half
//     millisecond, is printed as "LATENCY <ms>" (or "MISSED" after 3 s). The menu is then
//     closed with the Escape key (a menu of the window's own, which tracks the keyboard) or
//     with a left click on the spot (a popup that stands beside the cursor). A press that
//     the window doesn't get within 3 s is "LOST right press", and its click not timed.
//   clickbench input MOVES CLICKS X Y NAME popup|nopopup
//     CLICKS rounds of MOVES / CLICKS moves near (X, Y), a right click and a left click on
//     the spot (with CLICKS 0, the moves alone), each event injected only once the window
//     has handled the one before, so that none is merged with another and each passes
//     every mouse hook once. With "popup", each right click is expected to bring a popup
//     (Pivotrix runs): it is waited for before the left click, which closes it, and its
//     closing is waited for before the next moves; these waits are not timed. Prints
//     "INPUT ms=<timed> moves_ms=<n> right_ms=<n> left_ms=<n>" (the time in moves, in
//     right and in left clicks) and "moves=<n> right_downs=<n> right_ups=<n>
//     left_downs=<n> left_ups=<n>", the counts the window received, from 0.
//   clickbench startmenu COUNT X Y NAME popup|button
//     COUNT times a Start menu is opened, then its first item's submenu, and both are closed
//     with Escape. With "popup", Pivotrix's own: a right click at (X, Y) on the window
//     brings the popup, and a left click chooses its first item, the Start item; with
//     "button", the shell's: a left click at (X, Y) on its Start button, and the taskbar is
//     put in the foreground for the keys. The left click waits until the popup's menu loop
//     runs (a click that comes between the popup's showing and its loop is lost); on the
//     Start button, the presses alternate between two points, X - SM_CXDOUBLECLK and X +
//     SM_CXDOUBLECLK, so that none makes a double click, and the release waits until the
//     button shows the press. Prints "OPEN <ms>", from just before the left release's
//     injection until the Start menu is visible (for Pivotrix's, a menu window other than
//     the popup), and, once the menu is painted, "SUBMENU <ms>", from just before the
//     injection of the keys Down (the first item) and Right (open it) until a second menu
//     window is visible. Either is "MISSED" after 30 s; a press that doesn't arrive is
//     "LOST <what>". Such a round is closed (Escape) and the next one follows.
//   clickbench find COUNT X Y NAME
//     COUNT times Pivotrix's own Start menu is opened as with "startmenu popup", and its
//     Find item chosen with its access key, F. Prints "BOX <ms>", from just before the
//     key's injection until the Find box ("PivotrixFind") is visible, and "LISTED <ms>
//     <entries>" until its list holds the entries; then, for each of the keys 0, 4, 2 and
//     three Backspaces typed into it, "LETTER <ms>", from just before the key's
//     injection until the list holds another number of entries and has been painted (the
//     seeded names are such that each key changes that number). Escape closes the box.
//     Either is "MISSED" after 30 s, which ends the run.
//   clickbench typing COUNT
//     The baseline of "find": COUNT keys, 0 and Backspace in turn, typed into Notepad's edit
//     control, Notepad put in the foreground first, each timed from just before its
//     injection until the control holds another number of characters and has been painted:
//     "KEY <ms>", or "MISSED" after 30 s.
//   clickbench timer COUNT
//     COUNT times a 10 ms timer of this thread, from SetTimer to its WM_TIMER being
//     retrieved: "TIMER <ms>" each. The popup waits on such a timer.
//
// Under Wine, a cursor moved by SendInput is also moved on the X display, and the X
// events that follow reach the program under the cursor later, as moves to where the
// cursor was then: an echo may put the cursor back for a moment, also after the system
// reported the new position (a right press meant for the window was seen to land on the
// taskbar, where the cursor had been before). So the benchmarks keep to one window, the
// popup clicks all land on one spot, every move is waited for until the window has handled
// it, and the popup and Start menu benchmarks inject each button event together with the
// move to its point.
//
// Exit code 0, 1 when an injected event was not handled within 3 s, 2 on a usage error.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../tests/e2e/tools/input_counts.h"

static const DWORD kEventTimeout = 3000;  // ms
// Wine's own Start menu looks up every icon of a folder before it shows it: a folder of
// hundreds of shortcuts takes seconds.
static const DWORD kStartMenuTimeout = 30000;  // ms

static LARGE_INTEGER frequency;
static InputCounts* counts;
static HANDLE counted;

typedef LONG(NTAPI* DelayExecution)(BOOLEAN alertable, PLARGE_INTEGER interval);
static DelayExecution delayExecution;

static LONGLONG Now(void) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

static double Milliseconds(LONGLONG ticks) {
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Sleep() counts whole milliseconds; the native call takes 100 ns units (negative:
// relative), which Wine keeps to the microsecond.
static void PauseHalfMillisecond(void) {
  LARGE_INTEGER interval;
  interval.QuadPart = -5000;
  delayExecution(FALSE, &interval);
}

static void Inject(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// A button event (or none) together with a move to pixel (x, y), in one input: the event
// happens there, whatever an echo (see above) did to the cursor just before. Absolute
// coordinates run from 0 to 65535 over the screen.
static void InjectAt(DWORD flags, int x, int y) {
  LONG width = GetSystemMetrics(SM_CXSCREEN);
  LONG height = GetSystemMetrics(SM_CYSCREEN);
  Inject(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (x * 65536 + width - 1) / width,
         (y * 65536 + height - 1) / height);
}

static void MoveTo(int x, int y) { InjectAt(0, x, y); }

// Waits until the window has counted `target` messages on `counter`.
static bool WaitCount(volatile LONG* counter, LONG target) {
  DWORD start = GetTickCount();
  while (*counter < target) {
    DWORD waited = GetTickCount() - start;
    if (waited >= kEventTimeout) return false;
    WaitForSingleObject(counted, kEventTimeout - waited);
  }
  return true;
}

// Injects one event and waits until the window has handled it.
static bool InjectHandled(DWORD flags, volatile LONG* counter) {
  LONG target = *counter + 1;
  Inject(flags);
  return WaitCount(counter, target);
}

// The same for a button event at pixel (x, y).
static bool InjectHandledAt(DWORD flags, volatile LONG* counter, int x, int y) {
  LONG target = *counter + 1;
  InjectAt(flags, x, y);
  return WaitCount(counter, target);
}

static bool MoveHandled(int x, int y) {
  LONG target = counts->moves + 1;
  MoveTo(x, y);
  return WaitCount(&counts->moves, target);
}

// Puts the cursor on (x, y) wherever it was: by way of the pixel beside it, so that at
// least one of the two moves changes the position and brings the window a message.
static bool PlaceCursor(int x, int y) {
  LONG target = counts->moves + 1;
  MoveTo(x + 1, y);
  MoveTo(x, y);
  return WaitCount(&counts->moves, target);
}

static HWND VisibleMenu(void) {
  HWND menu = NULL;
  while ((menu = FindWindowExA(NULL, menu, "#32768", NULL)) != NULL) {
    if (IsWindowVisible(menu)) return menu;
  }
  return NULL;
}

// The visible menu windows' rectangles, at most `size` of them; returns how many there are.
static int VisibleMenus(RECT* rects, int size) {
  int count = 0;
  HWND menu = NULL;
  while ((menu = FindWindowExA(NULL, menu, "#32768", NULL)) != NULL) {
    if (!IsWindowVisible(menu)) continue;
    if (count < size) GetWindowRect(menu, &rects[count]);
    ++count;
  }
  return count;
}

static bool WaitMenu(bool visible, LONGLONG* seenAt) {
  LONGLONG deadline = Now() + frequency.QuadPart * kEventTimeout / 1000;
  for (;;) {
    bool shown = VisibleMenu() != NULL;
    LONGLONG now = Now();
    if (shown == visible) {
      *seenAt = now;
      return true;
    }
    if (now >= deadline) return false;
    PauseHalfMillisecond();
  }
}

static int Lost(const char* what) {
  printf("LOST %s\n", what);
  fflush(stdout);
  return 1;
}

static void Key(WORD key) {
  INPUT input[2] = {};
  input[0].type = INPUT_KEYBOARD;
  input[0].ki.wVk = key;
  input[1] = input[0];
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
}

static int MeasurePopups(int count, int x, int y, bool closeWithEscape) {
  if (!PlaceCursor(x, y)) return Lost("move");
  for (int i = 0; i < count; ++i) {
    LONGLONG at;
    if (!WaitMenu(false, &at)) return Lost("a menu stays open");
    // A press that the window doesn't get is reported and its click not timed; the release
    // still goes in, and a menu that comes is closed.
    bool pressed = InjectHandledAt(MOUSEEVENTF_RIGHTDOWN, &counts->rightDowns, x, y);
    if (!pressed) printf("LOST right press\n");

    LONGLONG released = Now();
    InjectAt(MOUSEEVENTF_RIGHTUP, x, y);
    if (WaitMenu(true, &at)) {
      if (pressed) printf("LATENCY %.2f\n", Milliseconds(at - released));
    } else if (pressed) {
      printf("MISSED\n");
    }
    fflush(stdout);
    if (closeWithEscape) {
      Key(VK_ESCAPE);
    } else {
      InjectAt(MOUSEEVENTF_LEFTDOWN, x, y);
      InjectAt(MOUSEEVENTF_LEFTUP, x, y);
    }
  }
  LONGLONG at;
  return WaitMenu(false, &at) ? 0 : Lost("the last menu stays open");
}

// Waits until `wanted` menu windows are visible, not counting one at `other` (when given);
// returns the time they were, or 0 after kStartMenuTimeout.
static LONGLONG WaitMenus(int wanted, const RECT* other) {
  LONGLONG deadline = Now() + frequency.QuadPart * kStartMenuTimeout / 1000;
  for (;;) {
    RECT rects[8];
    int count = VisibleMenus(rects, 8);
    for (int i = 0; i < count && i < 8; ++i) {
      if (other != NULL && EqualRect(&rects[i], other)) --count;
    }
    LONGLONG now = Now();
    if (count >= wanted) return now;
    if (now >= deadline) return 0;
    PauseHalfMillisecond();
  }
}

// Waits until the thread of a visible menu window tracks it: a click that comes earlier,
// between the window's showing and its menu loop, is lost.
static bool WaitMenuLoop(void) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND menu = VisibleMenu();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (menu != NULL && GetGUIThreadInfo(GetWindowThreadProcessId(menu, NULL), &info) &&
        (info.flags & GUI_INMENUMODE) != 0) {
      return true;
    }
    if (GetTickCount() - start >= kEventTimeout) return false;
    PauseHalfMillisecond();
  }
}


// Waits until the visible menu window has nothing left to paint and its thread is back in
// its menu loop (it answers a message): keys injected then are handled at once, not after
// the menu's first paint, which may take longer than the keys' work.
static bool WaitMenuPainted(void) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND menu = VisibleMenu();
    DWORD_PTR answer;
    if (menu != NULL && !GetUpdateRect(menu, NULL, FALSE)) {
      return SendMessageTimeoutA(menu, WM_NULL, 0, 0, SMTO_NORMAL, kEventTimeout, &answer) != 0;
    }
    if (GetTickCount() - start >= kEventTimeout) return false;
    PauseHalfMillisecond();
  }
}

static bool Report(const char* what, LONGLONG from, LONGLONG seenAt) {
  if (seenAt == 0) {
    printf("MISSED\n");
  } else {
    printf("%s %.2f\n", what, Milliseconds(seenAt - from));
  }
  fflush(stdout);
  return seenAt != 0;
}

// Waits until the button shows a press; false after 3 s.
static bool WaitPushed(HWND button) {
  DWORD start = GetTickCount();
  DWORD_PTR state = 0;
  while (!SendMessageTimeoutA(button, BM_GETSTATE, 0, 0, SMTO_NORMAL, kEventTimeout, &state) ||
         (state & BST_PUSHED) == 0) {
    if (GetTickCount() - start >= kEventTimeout) return false;
    PauseHalfMillisecond();
  }
  return true;
}

static bool RoundLost(const char* what) {
  printf("LOST %s\n", what);
  fflush(stdout);
  return false;
}

// Closes the menus that a lost round left open with Escape, one level at a time (for Wine's
// taskbar, put in the foreground for the keys, see below); false when one still shows.
static bool CloseMenus(bool popup) {
  for (int level = 0; level < 4 && VisibleMenu() != NULL; ++level) {
    if (!popup) SetForegroundWindow(FindWindowA("Shell_TrayWnd", NULL));
    int shown = VisibleMenus(NULL, 0);
    Key(VK_ESCAPE);
    DWORD start = GetTickCount();
    while (VisibleMenus(NULL, 0) >= shown && GetTickCount() - start < kEventTimeout) {
      PauseHalfMillisecond();
    }
  }
  return VisibleMenu() == NULL;
}

// One round of the Start menu benchmark (see the top of this file), the `round`th. Prints
// its times; when a press goes astray or a menu doesn't come, prints "LOST <what>" or
// "MISSED" and returns false, maybe with menus left open.
static bool StartMenuRound(int round, int x, int y, bool popup) {
  RECT popupRect = {};
  POINT at = {x, y};
  if (popup) {
    if (!PlaceCursor(x, y)) return RoundLost("move");
    if (!InjectHandledAt(MOUSEEVENTF_RIGHTDOWN, &counts->rightDowns, x, y)) {
      InjectAt(MOUSEEVENTF_RIGHTUP, x, y);
      return RoundLost("right press");
    }
    InjectAt(MOUSEEVENTF_RIGHTUP, x, y);
    if (WaitMenus(1, NULL) == 0 || VisibleMenus(&popupRect, 1) != 1 || !WaitMenuLoop()) {
      return RoundLost("popup");
    }
    // The Start item is the popup's first: a picture 20 pixels high below the frame.
    at.x = (popupRect.left + popupRect.right) / 2;
    at.y = popupRect.top + 12;
  } else {
    // A press within the double-click rectangle (SM_CXDOUBLECLK by SM_CYDOUBLECLK around
    // the last press) and time of the last one makes a double click, which a Start button
    // drawn by its owner, as Wine's, takes for no press at all. Waiting out the double-click
    // time on the performance counter is not enough: under Wine the tick count, which the
    // message times follow, was seen to advance 484 ms while it counted 500. So the presses
    // alternate between two points that far left and right of the given one.
    int apart = GetSystemMetrics(SM_CXDOUBLECLK);
    at.x += round % 2 == 0 ? -apart : apart;
  }
  // No wait for the cursor to get there first: an echo may take it away again after it
  // did, and the press lands at its own point anyway.
  InjectAt(MOUSEEVENTF_LEFTDOWN, at.x, at.y);
  if (!popup && !WaitPushed(WindowFromPoint(at))) {
    InjectAt(MOUSEEVENTF_LEFTUP, at.x, at.y);
    return RoundLost("press on the Start button");
  }
  LONGLONG released = Now();
  InjectAt(MOUSEEVENTF_LEFTUP, at.x, at.y);
  if (!Report("OPEN", released, WaitMenus(1, popup ? &popupRect : NULL))) return false;

  if (!WaitMenuPainted()) return RoundLost("the Start menu painted");
  // The keys go to the foreground window's thread. Wine's taskbar doesn't take the
  // foreground when its Start button is clicked (Windows' does): it is given it here.
  if (!popup) SetForegroundWindow(FindWindowA("Shell_TrayWnd", NULL));
  INPUT keys[4] = {};
  for (int k = 0; k < 4; ++k) {
    keys[k].type = INPUT_KEYBOARD;
    keys[k].ki.wVk = k < 2 ? VK_DOWN : VK_RIGHT;
    keys[k].ki.dwFlags = k % 2 == 1 ? KEYEVENTF_KEYUP : 0;
  }
  LONGLONG pressed = Now();
  SendInput(4, keys, sizeof keys[0]);
  if (!Report("SUBMENU", pressed, WaitMenus(2, NULL))) return false;

  Key(VK_ESCAPE);
  Key(VK_ESCAPE);
  return true;
}

// A lost round is reported and the next one follows; the run ends only when the menus of
// one can't be closed.
static int MeasureStartMenus(int count, int x, int y, bool popup) {
  for (int i = 0; i < count; ++i) {
    LONGLONG closed;
    if (!WaitMenu(false, &closed)) return Lost("a menu stays open");
    if (!StartMenuRound(i, x, y, popup) && !CloseMenus(popup)) {
      return Lost("a menu of a lost round stays open");
    }
  }
  LONGLONG closed;
  return WaitMenu(false, &closed) ? 0 : Lost("the last menu stays open");
}

// Waits until the control's answer to `question` is other than `count` and the control has
// been painted: its thread has answered a message sent after the change, so the change's
// invalidation is done, and the control has nothing left to paint. Returns the time, or 0
// after kStartMenuTimeout.
static LONGLONG WaitChanged(HWND control, UINT question, LRESULT count, LRESULT* now) {
  LONGLONG deadline = Now() + frequency.QuadPart * kStartMenuTimeout / 1000;
  DWORD_PTR answer = 0;
  for (;;) {
    if (SendMessageTimeoutA(control, question, 0, 0, SMTO_NORMAL, kEventTimeout, &answer) &&
        static_cast<LRESULT>(answer) != count) {
      break;
    }
    if (Now() >= deadline) return 0;
    PauseHalfMillisecond();
  }
  *now = static_cast<LRESULT>(answer);
  SendMessageTimeoutA(control, WM_NULL, 0, 0, SMTO_NORMAL, kEventTimeout, &answer);
  for (;;) {
    if (!GetUpdateRect(control, NULL, FALSE)) return Now();
    if (Now() >= deadline) return 0;
    PauseHalfMillisecond();
  }
}

static HWND VisibleFindBox(void) {
  HWND box = FindWindowA("PivotrixFind", NULL);
  return box != NULL && IsWindowVisible(box) ? box : NULL;
}

static int MeasureFindBoxes(int count, int x, int y) {
  static const WORD kTyped[] = {'0', '4', '2', VK_BACK, VK_BACK, VK_BACK};
  for (int i = 0; i < count; ++i) {
    LONGLONG closed;
    if (!WaitMenu(false, &closed)) return Lost("a menu stays open");
    for (DWORD start = GetTickCount(); VisibleFindBox() != NULL; PauseHalfMillisecond()) {
      if (GetTickCount() - start >= kEventTimeout) return Lost("a Find box stays open");
    }
    RECT popupRect = {};
    if (!PlaceCursor(x, y)) return Lost("move");
    if (!InjectHandledAt(MOUSEEVENTF_RIGHTDOWN, &counts->rightDowns, x, y)) {
      return Lost("right press");
    }
    InjectAt(MOUSEEVENTF_RIGHTUP, x, y);
    if (WaitMenus(1, NULL) == 0 || VisibleMenus(&popupRect, 1) != 1 || !WaitMenuLoop()) {
      return Lost("popup");
    }
    // The Start item is the popup's first: a picture 20 pixels high below the frame. The
    // click carries its point, as the Start menu rounds' do.
    int itemX = (popupRect.left + popupRect.right) / 2;
    InjectAt(MOUSEEVENTF_LEFTDOWN, itemX, popupRect.top + 12);
    InjectAt(MOUSEEVENTF_LEFTUP, itemX, popupRect.top + 12);
    if (WaitMenus(1, &popupRect) == 0 || !WaitMenuPainted()) return Lost("the Start menu");
    LONGLONG chosen = Now();
    Key('F');
    HWND box = NULL;
    LONGLONG deadline = chosen + frequency.QuadPart * kStartMenuTimeout / 1000;
    while ((box = VisibleFindBox()) == NULL && Now() < deadline) PauseHalfMillisecond();
    if (!Report("BOX", chosen, box != NULL ? Now() : 0)) return 0;
    HWND list = FindWindowExA(box, NULL, "ListBox", NULL);
    LRESULT entries = 0;
    LONGLONG listed = list != NULL ? WaitChanged(list, LB_GETCOUNT, 0, &entries) : 0;
    if (listed == 0) {
      Report("LISTED", chosen, 0);
      return 0;
    }
    printf("LISTED %.2f %ld\n", Milliseconds(listed - chosen), static_cast<long>(entries));
    fflush(stdout);
    for (WORD key : kTyped) {
      LRESULT before = entries;
      LONGLONG typed = Now();
      Key(key);
      if (!Report("LETTER", typed, WaitChanged(list, LB_GETCOUNT, before, &entries))) return 0;
    }
    Key(VK_ESCAPE);
  }
  LONGLONG closed;
  return WaitMenu(false, &closed) ? 0 : Lost("the last menu stays open");
}

static int MeasureTyping(int count) {
  HWND notepad = FindWindowA("Notepad", NULL);
  HWND edit = FindWindowExA(notepad, NULL, "Edit", NULL);
  if (edit == NULL) return Lost("Notepad's edit control");
  SetForegroundWindow(notepad);
  for (DWORD start = GetTickCount(); GetForegroundWindow() != notepad; PauseHalfMillisecond()) {
    if (GetTickCount() - start >= kEventTimeout) return Lost("Notepad in the foreground");
  }
  LRESULT length = 0;
  SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kEventTimeout,
                      reinterpret_cast<DWORD_PTR*>(&length));
  for (int i = 0; i < count; ++i) {
    LRESULT before = length;
    LONGLONG typed = Now();
    Key(i % 2 == 0 ? '0' : VK_BACK);
    if (!Report("KEY", typed, WaitChanged(edit, WM_GETTEXTLENGTH, before, &length))) return 0;
  }
  return 0;
}

static int DriveInput(int moves, int clicks, int x, int y, bool popups) {
  InterlockedExchange(&counts->moves, 0);
  InterlockedExchange(&counts->rightDowns, 0);
  InterlockedExchange(&counts->rightUps, 0);
  InterlockedExchange(&counts->leftDowns, 0);
  InterlockedExchange(&counts->leftUps, 0);
  int rounds = clicks > 0 ? clicks : 1;
  int movesPerRound = moves / rounds;
  LONGLONG movesTime = 0;
  LONGLONG rightTime = 0;
  LONGLONG leftTime = 0;
  for (int c = 0; c < rounds; ++c) {
    LONGLONG started = Now();
    // The moves of a round step along a row above the click point, 20 pixels and again
    // from the start, and each round takes another of 10 rows: a popup that a right click
    // brings stands below the point and never takes them, and an echo of a recent move
    // (see above) never lands where the next move goes.
    for (int m = 0; m < movesPerRound; ++m) {
      if (!MoveHandled(x - 10 + m % 20, y - 10 - c % 10)) return Lost("move");
    }
    LONGLONG moved = Now();
    movesTime += moved - started;
    if (clicks == 0) break;
    if (!InjectHandled(MOUSEEVENTF_RIGHTDOWN, &counts->rightDowns)) return Lost("right press");
    if (!InjectHandled(MOUSEEVENTF_RIGHTUP, &counts->rightUps)) return Lost("right release");
    rightTime += Now() - moved;

    // The popup that the click brings (its latency is the popup benchmark's) is closed by
    // the next press, a left click on the spot, before any more moves are made: its menu
    // loop would take them too.
    LONGLONG at;
    if (popups && !WaitMenu(true, &at)) return Lost("popup");
    started = Now();
    if (!InjectHandled(MOUSEEVENTF_LEFTDOWN, &counts->leftDowns)) return Lost("left press");
    if (!InjectHandled(MOUSEEVENTF_LEFTUP, &counts->leftUps)) return Lost("left release");
    leftTime += Now() - started;
    if (popups && !WaitMenu(false, &at)) return Lost("a popup stays open");
  }
  printf("INPUT ms=%.1f moves_ms=%.1f right_ms=%.1f left_ms=%.1f moves=%ld right_downs=%ld "
         "right_ups=%ld left_downs=%ld left_ups=%ld\n",
         Milliseconds(movesTime + rightTime + leftTime), Milliseconds(movesTime),
         Milliseconds(rightTime), Milliseconds(leftTime), static_cast<long>(counts->moves),
         static_cast<long>(counts->rightDowns), static_cast<long>(counts->rightUps),
         static_cast<long>(counts->leftDowns), static_cast<long>(counts->leftUps));
  fflush(stdout);
  return 0;
}

static int TimeTimers(int count) {
  for (int i = 0; i < count; ++i) {
    LONGLONG set = Now();
    UINT_PTR timer = SetTimer(NULL, 0, 10, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageA(&msg);
    printf("TIMER %.2f\n", Milliseconds(Now() - set));
    KillTimer(NULL, timer);
  }
  fflush(stdout);
  return 0;
}

static bool OpenCounts(const char* name) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
  if (mapping == NULL) return false;
  counts = static_cast<InputCounts*>(
      MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(InputCounts)));
  char eventName[MAX_PATH];
  snprintf(eventName, sizeof eventName, "%s.event", name);
  counted = OpenEventA(SYNCHRONIZE, FALSE, eventName);
  return counts != NULL && counted != NULL;
}

int main(int argc, char** argv) {
  QueryPerformanceFrequency(&frequency);
  FARPROC delay = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDelayExecution");
  delayExecution = reinterpret_cast<DelayExecution>(reinterpret_cast<void*>(delay));
  if (delayExecution == NULL) return 2;

  if (argc == 7 && strcmp(argv[1], "popup") == 0) {
    bool escape = strcmp(argv[6], "escape") == 0;
    if ((!escape && strcmp(argv[6], "click") != 0) || !OpenCounts(argv[5])) return 2;
    return MeasurePopups(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), escape);
  }
  if (argc == 3 && strcmp(argv[1], "timer") == 0) return TimeTimers(atoi(argv[2]));
  if (argc == 7 && strcmp(argv[1], "startmenu") == 0) {
    bool popup = strcmp(argv[6], "popup") == 0;
    if (!popup && strcmp(argv[6], "button") != 0) return 2;
    if (popup && !OpenCounts(argv[5])) return 2;
    return MeasureStartMenus(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), popup);
  }
  if (argc == 3 && strcmp(argv[1], "typing") == 0) return MeasureTyping(atoi(argv[2]));
  if (argc == 6 && strcmp(argv[1], "find") == 0) {
    if (!OpenCounts(argv[5])) return 2;
    return MeasureFindBoxes(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
  }
  if (argc == 8 && strcmp(argv[1], "input") == 0) {
    int clicks = atoi(argv[3]);
    bool popups = strcmp(argv[7], "popup") == 0;
    if ((!popups && strcmp(argv[7], "nopopup") != 0) || clicks < 0 || !OpenCounts(argv[6])) {
      return 2;
    }
    return DriveInput(atoi(argv[2]), clicks, atoi(argv[4]), atoi(argv[5]), popups);
  }
  fprintf(stderr,
          "usage: clickbench popup COUNT X Y NAME escape|click\n"
          "       clickbench input MOVES CLICKS X Y NAME popup|nopopup\n"
          "       clickbench startmenu COUNT X Y NAME popup|button\n"
          "       clickbench find COUNT X Y NAME\n"
          "       clickbench typing COUNT\n"
          "       clickbench timer COUNT\n");
  return 2;
}
