// Watches a window's screen rectangle: polls it every millisecond for a while and logs
// each change, so that a short-lived move (tens of milliseconds) can be seen from outside.
// Usage: rectwatch.exe HWND MILLISECONDS [--log FILE]
// Logs "<ms> RECT left top right bottom" for the first rectangle and every change, then
// "<ms> DONE".
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tool_log.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(argv[1], NULL, 16)));
  DWORD duration = strtoul(argv[2], NULL, 10);
  if (argc >= 5 && strcmp(argv[3], "--log") == 0) OpenLogFile(argv[4], "a");
  if (!IsWindow(hwnd)) return 1;

  timeBeginPeriod(1);
  DWORD start = GetTickCount();
  LogAt(0, "READY");
  RECT last = {0, 0, 0, 0};
  bool first = true;
  for (DWORD now = start; now - start < duration; now = GetTickCount()) {
    RECT rect;
    if (GetWindowRect(hwnd, &rect) && (first || memcmp(&rect, &last, sizeof rect) != 0)) {
      char line[96];
      snprintf(line, sizeof line, "RECT %ld %ld %ld %ld", rect.left, rect.top, rect.right,
               rect.bottom);
      LogAt(now - start, line);
      last = rect;
      first = false;
    }
    Sleep(1);
  }
  LogAt(GetTickCount() - start, "DONE");
  timeEndPeriod(1);
  return 0;
}
