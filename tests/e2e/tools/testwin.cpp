// testwin.exe - GUI target window for the end-to-end tests.
//
// Shows one top-level window and logs the messages it receives, one line per event:
// "<ms> EVENT args", <ms> = milliseconds since the program started. Lines go to stdout
// (CR LF, text mode) and, with --log FILE, are appended to FILE (LF only, binary mode); each
// line is flushed at once.
//
// Options:
//   --title T         caption (default "Target"), taken in UTF-16 from the command line, so
//                     any letters survive
//   --pos X Y W H     window rectangle (default 300 200 300 200)
//   --style S         normal (WS_OVERLAPPEDWINDOW, default) | nomax | nobox (no
//                     minimize/maximize box) | nosysmenu | popup (ignored with --dialog)
//   --dialog          modeless dialog (class "#32770", caption, system menu, minimize and
//                     maximize boxes) with a "Push me" button, id 100, at client (20,20),
//                     150x40
//   --context-menu    open a context menu of its own on WM_RBUTTONUP, as many programs do:
//                     items "One" (id 201) and "Two" (id 202) at the cursor, tracked with
//                     TrackPopupMenu
//   --count-input NAME
//                     count the mouse messages the window receives in a shared block named
//                     NAME (input_counts.h) and set the auto-reset event "NAME.event" after
//                     each one, so that a benchmark can inject input one event at a time
//   --log FILE        append log lines to FILE
//
// Events: READY hwnd=0x%08X child=0x%08X, RBUTTONDOWN x y, RBUTTONUP x y, LBUTTONDOWN x y,
// LBUTTONUP x y (client coordinates), NCRBUTTONDOWN x y ht, NCRBUTTONUP x y ht (screen
// coordinates, hit-test code), CONTEXTMENU x y, SYSCOMMAND 0xF020 (wParam & 0xFFF0),
// SETFOCUS, KILLFOCUS, ACTIVATE state, COMMAND id code, CLOSE, DESTROY, OWNMENU OPEN x y /
// OWNMENU CLOSED id (the context menu of --context-menu; id 0 when it closed without a
// choice). Button messages are logged with the prefix "CHILD " (RBUTTONDOWN/UP,
// LBUTTONDOWN/UP, SETFOCUS, KILLFOCUS).
// The program exits with code 0 once its window is destroyed.
//
// Private message WM_APP+3 (0x8003), wParam 1 or 0: from now on open (or no longer open) the
// context menu of --context-menu; answers 1.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "input_counts.h"
#include "tool_log.h"
#include "tool_window.h"

static const int kButtonId = 100;
static const int kButtonX = 20;
static const int kButtonY = 20;
static const int kButtonW = 150;
static const int kButtonH = 40;
static const UINT kItemOne = 201;
static const UINT kItemTwo = 202;
static const int kTemplateWords = 512;
static const WCHAR kClassName[] = L"PivotrixE2eTestWin";
static const UINT kSetOwnMenu = WM_APP + 3;
static const UINT kInputHandled = WM_APP + 4;  // --count-input, see CountInput
static const char kOptions[] =
    "[--title T] [--pos X Y W H] [--style normal|nomax|nobox|nosysmenu|popup] [--dialog] "
    "[--context-menu] [--count-input NAME] [--log FILE]";

static HWND mainWindow;
static HWND button;          // the dialog's button, or null
static WNDPROC buttonProc;   // its own window procedure
static bool ownContextMenu;  // --context-menu
static InputCounts* counts;  // --count-input
static HANDLE counted;       // its event

// Logs the mouse, focus and key-press messages shared by the window, the dialog and the button (the
// caller still passes every message on).
static void LogCommon(const char* prefix, UINT message, WPARAM wParam, LPARAM lParam) {
  int x = GET_X_LPARAM(lParam);
  int y = GET_Y_LPARAM(lParam);
  int hitTest = static_cast<int>(wParam);
  switch (message) {
    case WM_RBUTTONDOWN: Log("%sRBUTTONDOWN %d %d", prefix, x, y); break;
    case WM_RBUTTONUP: Log("%sRBUTTONUP %d %d", prefix, x, y); break;
    case WM_LBUTTONDOWN: Log("%sLBUTTONDOWN %d %d", prefix, x, y); break;
    case WM_LBUTTONUP: Log("%sLBUTTONUP %d %d", prefix, x, y); break;
    case WM_NCRBUTTONDOWN: Log("%sNCRBUTTONDOWN %d %d %d", prefix, x, y, hitTest); break;
    case WM_NCRBUTTONUP: Log("%sNCRBUTTONUP %d %d %d", prefix, x, y, hitTest); break;
    case WM_SETFOCUS: Log("%sSETFOCUS", prefix); break;
    case WM_KILLFOCUS: Log("%sKILLFOCUS", prefix); break;
    case WM_KEYDOWN: Log("%sKEYDOWN %u", prefix, static_cast<unsigned>(wParam)); break;
    default: break;
  }
}

static void LogTopLevel(UINT message, WPARAM wParam, LPARAM lParam) {
  LogCommon("", message, wParam, lParam);
  switch (message) {
    case WM_CONTEXTMENU:
      Log("CONTEXTMENU %d %d", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      break;
    case WM_SYSCOMMAND: Log("SYSCOMMAND 0x%04X", static_cast<unsigned>(wParam & 0xFFF0)); break;
    case WM_ACTIVATE: Log("ACTIVATE %u", LOWORD(wParam)); break;
    case WM_COMMAND: Log("COMMAND %u %u", LOWORD(wParam), HIWORD(wParam)); break;
    case WM_CLOSE: Log("CLOSE"); break;
    case WM_DESTROY: Log("DESTROY"); break;
    default: break;
  }
}

static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LogCommon("CHILD ", message, wParam, lParam);
  return CallWindowProcA(buttonProc, hwnd, message, wParam, lParam);
}

// The context menu of --context-menu, opened at the cursor and tracked until it closes.
static void TrackOwnMenu(HWND hwnd) {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kItemOne, "One");
  AppendMenuA(menu, MF_STRING, kItemTwo, "Two");
  POINT at;
  GetCursorPos(&at);
  Log("OWNMENU OPEN %ld %ld", at.x, at.y);
  int chosen = TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, hwnd, NULL);
  Log("OWNMENU CLOSED %d", chosen);
  DestroyMenu(menu);
}

// A mouse message is counted only once the window has gone back for its next message: Wine
// first hands over the X events that came in meanwhile (the echo of an injected move among
// them), so a benchmark that waits for the count never injects ahead of an echo.
static void CountInput(HWND hwnd, UINT message) {
  volatile LONG* counter = NULL;
  switch (message) {
    case WM_MOUSEMOVE: counter = &counts->moves; break;
    case WM_RBUTTONDOWN: counter = &counts->rightDowns; break;
    case WM_RBUTTONUP: counter = &counts->rightUps; break;
    case WM_LBUTTONDOWN: counter = &counts->leftDowns; break;
    case WM_LBUTTONUP: counter = &counts->leftUps; break;
    default: return;
  }
  PostMessageA(hwnd, kInputHandled, 0, reinterpret_cast<LPARAM>(counter));
}

static void CountHandled(LPARAM counter) {
  InterlockedIncrement(reinterpret_cast<volatile LONG*>(counter));
  SetEvent(counted);
}

static bool OpenInputCounts(const char* name) {
  HANDLE mapping =
      CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(InputCounts), name);
  if (mapping == NULL) return false;
  counts = static_cast<InputCounts*>(
      MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(InputCounts)));
  char eventName[MAX_PATH];
  snprintf(eventName, sizeof eventName, "%s.event", name);
  counted = CreateEventA(NULL, FALSE, FALSE, eventName);
  return counts != NULL && counted != NULL;
}

static LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kInputHandled) {
    CountHandled(lParam);
    return 0;
  }
  if (counts != NULL) CountInput(hwnd, message);
  LogTopLevel(message, wParam, lParam);
  if (message == kSetOwnMenu) {
    ownContextMenu = wParam != 0;
    return 1;
  }
  if (message == WM_RBUTTONUP && ownContextMenu) {
    TrackOwnMenu(hwnd);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The button is created here rather than in the template, so that its pixel position is
// exact (a template places controls in dialog units).
static void CreateButton(HWND dialog) {
  button = CreateWindowExA(0, "Button", "Push me",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kButtonX, kButtonY,
                           kButtonW, kButtonH, dialog, ControlId(kButtonId),
                           GetModuleHandleA(NULL), NULL);
  if (button == NULL) return;
  SetGuiFont(button);
  buttonProc = ReplaceWindowProc(button, ButtonProc);
}

static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LogTopLevel(message, wParam, lParam);
  switch (message) {
    case WM_INITDIALOG: CreateButton(hwnd); return TRUE;
    case WM_CLOSE: DestroyWindow(hwnd); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDCANCEL) return FALSE;
      DestroyWindow(hwnd);
      return TRUE;
    case WM_DESTROY: PostQuitMessage(0); return TRUE;
    default: return FALSE;
  }
}

// A modeless dialog from a minimal template in memory: no menu, the default dialog class,
// the title and no controls.
static HWND CreateTheDialog(const WCHAR* title) {
  // DLGTEMPLATE, then menu (0), class (0) and the title in UTF-16 with its NUL.
  static WORD buffer[kTemplateWords];
  memset(buffer, 0, sizeof buffer);
  DLGTEMPLATE* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
  dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  dialog->cx = 100;
  dialog->cy = 60;
  WORD* next = reinterpret_cast<WORD*>(dialog + 1);
  *next++ = 0;  // no menu
  *next++ = 0;  // default dialog class
  int room = kTemplateWords - static_cast<int>(next - buffer) - 1;
  lstrcpynW(reinterpret_cast<WCHAR*>(next), title, room);
  return CreateDialogIndirectParamA(GetModuleHandleA(NULL), dialog, NULL, DialogProc, 0);
}

// The window style named by --style, or 0 for an unknown name.
static DWORD StyleFor(const char* name) {
  if (strcmp(name, "nomax") == 0) return WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
  if (strcmp(name, "nobox") == 0) return WS_OVERLAPPEDWINDOW & ~(WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
  if (strcmp(name, "nosysmenu") == 0) return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
  if (strcmp(name, "popup") == 0) return WS_POPUP | WS_BORDER;
  if (strcmp(name, "normal") == 0) return WS_OVERLAPPEDWINDOW;
  return 0;
}

// The --title argument as UTF-16: the ANSI argv would have lost what the code page can't
// hold. Falls back to the ANSI text converted.
static const WCHAR* WideTitle(const char* ansi) {
  static WCHAR fallback[1024];
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, fallback, 1024);
  int count = 0;
  WCHAR** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == NULL) return fallback;
  for (int i = 1; i + 1 < count; ++i) {
    if (lstrcmpW(args[i], L"--title") == 0) return args[i + 1];
  }
  return fallback;
}

static HWND CreateMainWindow(const WCHAR* title, DWORD style, int x, int y, int w, int h) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(NULL, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc)) {
    Log("ERROR RegisterClass %lu", GetLastError());
    return NULL;
  }
  HWND hwnd = CreateWindowExW(0, kClassName, title, style, x, y, w, h, NULL, NULL, instance, NULL);
  if (hwnd == NULL) Log("ERROR CreateWindow %lu", GetLastError());
  return hwnd;
}

static int Usage(const char* what) { return UsageError("testwin", kOptions, what); }

int main(int argc, char** argv) {
  StartLogClock();
  const char* title = "Target";
  int x = 300, y = 200, w = 300, h = 200;
  const char* styleName = "normal";
  bool dialog = false;
  const char* logPath = NULL;

  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (strcmp(arg, "--title") == 0 && i + 1 < argc) {
      title = argv[++i];
    } else if (strcmp(arg, "--pos") == 0 && i + 4 < argc) {
      x = atoi(argv[i + 1]);
      y = atoi(argv[i + 2]);
      w = atoi(argv[i + 3]);
      h = atoi(argv[i + 4]);
      i += 4;
    } else if (strcmp(arg, "--style") == 0 && i + 1 < argc) {
      styleName = argv[++i];
      if (StyleFor(styleName) == 0) return Usage("bad --style");
    } else if (strcmp(arg, "--dialog") == 0) {
      dialog = true;
    } else if (strcmp(arg, "--context-menu") == 0) {
      ownContextMenu = true;
    } else if (strcmp(arg, "--count-input") == 0 && i + 1 < argc) {
      if (!OpenInputCounts(argv[++i])) return Usage("cannot share the input counts");
    } else if (strcmp(arg, "--log") == 0 && i + 1 < argc) {
      logPath = argv[++i];
    } else {
      return Usage("bad argument");
    }
  }
  if (logPath != NULL && !OpenLogFile(logPath, "ab")) return Usage("cannot open log file");

  if (dialog) {
    mainWindow = CreateTheDialog(WideTitle(title));
    if (mainWindow != NULL) {
      SetWindowPos(mainWindow, NULL, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      Log("ERROR CreateWindow %lu", GetLastError());
    }
  } else {
    mainWindow = CreateMainWindow(WideTitle(title), StyleFor(styleName), x, y, w, h);
  }
  if (mainWindow == NULL) return 3;

  ShowWindow(mainWindow, SW_SHOWNORMAL);
  UpdateWindow(mainWindow);
  SetForegroundWindow(mainWindow);
  Log("READY hwnd=%s child=%s", FormatHandle(mainWindow).text, FormatHandle(button).text);

  int exitCode = RunMessageLoop(dialog ? mainWindow : NULL);
  CloseLogFile();
  return exitCode;
}
