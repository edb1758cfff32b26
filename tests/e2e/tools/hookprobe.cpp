// Stands in for the menu program in the hook tests: loads PIVOHOOK.DLL, installs the hook
// with its own window and logs every private message the hook posts to it.
// Driven from outside by posting the commands of probe_commands.h to its window.
// Usage: hookprobe.exe [--no-install] [--log FILE]
// With --no-install it only maps the library: a process that installed nothing.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../../common/private_messages.h"
#include "../../../hooklib/hook_interface.h"
#include "probe_commands.h"
#include "tool_log.h"

static const char* PrivateName(UINT message) {
  switch (message) {
    case UM_POPUP_REQUEST: return "POPUP_REQUEST";
    case UM_POPUP_CLICK: return "POPUP_CLICK";
    case UM_START_CLICK: return "START_CLICK";
    case UM_POPUP_NOW: return "POPUP_NOW";
    case UM_START_CANCEL: return "START_CANCEL";
    default: return NULL;
  }
}

// Two threads of one process in MouseHook at once: this one with right releases on a
// window, the other with moves on another window. Every release must be reported with its
// own window and point, whatever the other thread is doing meanwhile.
static volatile LONG movesRunning;

static DWORD WINAPI MoveLoop(LPVOID) {
  MOUSEHOOKSTRUCT move = {};
  move.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5678));
  move.pt.x = 7;
  move.pt.y = 9;
  while (movesRunning) MouseHook(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&move));
  return 0;
}

static void RaceReleasesAgainstMoves(HWND hwnd, int releases) {
  MOUSEHOOKSTRUCT release = {};
  release.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
  release.pt.x = 300;
  release.pt.y = 200;
  movesRunning = 1;
  HANDLE mover = CreateThread(NULL, 0, MoveLoop, NULL, 0, NULL);
  int wrong = 0;
  int missing = 0;
  for (int i = 0; i < releases; ++i) {
    SignalHookExtraMenu(0);
    MouseHook(HC_ACTION, WM_RBUTTONUP, reinterpret_cast<LPARAM>(&release));
    MSG request;
    if (!PeekMessageA(&request, hwnd, UM_POPUP_REQUEST, UM_POPUP_REQUEST, PM_REMOVE)) {
      ++missing;
    } else if (request.wParam != 0x1234 ||
               static_cast<uint32_t>(request.lParam) != PackPoint(300, 200)) {
      ++wrong;
    }
  }
  movesRunning = 0;
  if (mover != NULL) {
    WaitForSingleObject(mover, INFINITE);
    CloseHandle(mover);
  }
  SignalHookExtraMenu(0);
  Log("RACE releases=%d wrong=%d missing=%d mover=%d", releases, wrong, missing, mover != NULL);
}

static LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const char* name = PrivateName(message);
  if (name != NULL) {
    Log("%s w=0x%04X l=0x%08lX", name, static_cast<unsigned>(wParam),
        static_cast<unsigned long>(lParam));
    return 0;
  }
  switch (message) {
    case PROBE_HANDLES:
      SignalHookHandles(NULL, NULL, reinterpret_cast<HWND>(wParam));
      Log("HANDLES tabs=0x%08lX", static_cast<unsigned long>(wParam));
      return 0;
    case PROBE_START_MENU:
      Log("STARTMENU %ld", static_cast<long>(SignalHookStartMenu(static_cast<int32_t>(wParam))));
      return 0;
    case PROBE_UNINSTALL:
      Log("UNINSTALL %d", UninstallMouseHook());
      return 0;
    case PROBE_INSTALL:
      Log("INSTALL %d", InstallMouseHook(hwnd) != NULL);
      return 0;
    case PROBE_SYNC:
      Log("SYNC");
      return 0;
    case PROBE_RACE:
      RaceReleasesAgainstMoves(hwnd, static_cast<int>(wParam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  StartLogClock();
  // The log file's path is the rest of the command line, so it may hold spaces.
  const char* logOption = strstr(commandLine, "--log ");
  if (logOption != NULL) OpenLogFile(logOption + 6, "a");

  WNDCLASSA wc = {};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = instance;
  wc.lpszClassName = "PivotrixHookProbe";
  RegisterClassA(&wc);
  // A small visible window in the corner, out of the way of the click targets.
  HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "hookprobe",
                              WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, NULL, NULL, instance, NULL);
  if (hwnd == NULL) return 1;
  HHOOK hook = NULL;
  if (strstr(commandLine, "--no-install") == NULL) hook = InstallMouseHook(hwnd);
  Log("READY hwnd=0x%08lX hook=%d", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)),
      hook != NULL);

  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
