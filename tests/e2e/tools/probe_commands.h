// Commands that the end-to-end tests post to hookprobe's window (WM_APP + n); the tests
// read the numbers from here.
#ifndef PIVOTRIX_TESTS_E2E_TOOLS_PROBE_COMMANDS_H
#define PIVOTRIX_TESTS_E2E_TOOLS_PROBE_COMMANDS_H

enum ProbeCommand : unsigned {
  PROBE_HANDLES = 0x8000 + 1,     // SignalHookHandles(NULL, NULL, (HWND)wParam)
  PROBE_START_MENU = 0x8000 + 2,  // SignalHookStartMenu(wParam)
  PROBE_UNINSTALL = 0x8000 + 3,   // UninstallMouseHook()
  PROBE_INSTALL = 0x8000 + 4,     // InstallMouseHook(own window)
  PROBE_SYNC = 0x8000 + 5,        // log SYNC: every message posted before it is handled
  PROBE_RACE = 0x8000 + 6,        // releases against moves on two threads, wParam times
};

#endif
