// Measures how long a popup menu takes to appear after a right-button release: a low-level
// mouse hook stamps every release, and a 1 ms poll stamps the moment a "#32768" window
// becomes visible. Prints one line per popup: "LATENCY <ms>", then exits after COUNT.
// Usage: menuwatch.exe COUNT [--log FILE]
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tool_log.h"

static LARGE_INTEGER frequency;
static LONGLONG lastRelease;

static LONGLONG Now(void) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

static LRESULT CALLBACK LowLevelMouse(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_RBUTTONUP) lastRelease = Now();
  return CallNextHookEx(NULL, code, wParam, lParam);
}

static BOOL CALLBACK FindMenu(HWND hwnd, LPARAM found) {
  char name[16];
  if (IsWindowVisible(hwnd) && GetClassNameA(hwnd, name, sizeof name) &&
      strcmp(name, "#32768") == 0) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

// One result: on stdout as it is, in the log file after a time of 0.
static void Report(const char* text) {
  printf("%s\n", text);
  fflush(stdout);
  AppendToLogFile(0, text);
}

static bool MenuVisible(void) {
  bool found = false;
  EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  int count = atoi(argv[1]);
  if (argc >= 4 && strcmp(argv[2], "--log") == 0) OpenLogFile(argv[3], "a");
  QueryPerformanceFrequency(&frequency);
  HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, LowLevelMouse, GetModuleHandleA(NULL), 0);
  if (hook == NULL) return 1;
  Report("READY");

  bool shown = false;
  while (count > 0) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    bool visible = MenuVisible();
    if (visible && !shown && lastRelease != 0) {
      double ms = static_cast<double>(Now() - lastRelease) * 1000.0 / frequency.QuadPart;
      char line[64];
      snprintf(line, sizeof line, "LATENCY %.1f", ms);
      Report(line);
      lastRelease = 0;
      --count;
    }
    shown = visible;
    MsgWaitForMultipleObjects(0, NULL, FALSE, 1, QS_ALLINPUT);
  }
  UnhookWindowsHookEx(hook);
  return 0;
}
