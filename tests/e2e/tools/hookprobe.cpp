// Stands in for the menu program in the hook tests: loads PIVOHOOK.DLL, installs the hook
// with its own window and logs every private message the hook posts to it.
// Driven from outside by posting WM_APP messages to its window:
//   WM_APP + 1  SignalHookHandles(NULL, NULL, (HWND)wParam)
//   WM_APP + 2  SignalHookStartMenu(wParam)
//   WM_APP + 3  UninstallMouseHook()
//   WM_APP + 4  InstallMouseHook(own window)
//   WM_APP + 5  SignalHookExtraMenu(wParam)
//   WM_APP + 6  log the shared block as this process sees it
//   WM_APP + 7  call MouseHook wParam times with a right release for one window on this
//               thread while another thread calls it with moves for another window, and
//               log how many of the requests named the wrong window or point
// Usage: hookprobe.exe [--no-install] [--log FILE]
// With --no-install it only keeps the library mapped, so that its shared block outlives
// the programs under test and can be read and reset.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../../common/private_messages.h"
#include "../../../hooklib/hook_interface.h"

static FILE* logFile;
static DWORD startTick;

static void Log(const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  unsigned long ms = GetTickCount() - startTick;
  printf("%lu %s\n", ms, line);
  fflush(stdout);
  if (logFile != NULL) {
    fprintf(logFile, "%lu %s\n", ms, line);
    fflush(logFile);
  }
}

// The shared block is not exported: find the library's SHARDATA section in its own image.
static const volatile int32_t* SharedBlock(void) {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA("PIVOHOOK.DLL"));
  if (base == NULL) return NULL;
  IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (strncmp(reinterpret_cast<char*>(section->Name), "SHARDATA", 8) == 0) {
      return reinterpret_cast<const volatile int32_t*>(base + section->VirtualAddress);
    }
  }
  return NULL;
}

// Field offsets follow the block's layout: hModuleSelf is pointer-sized.
static void LogSharedState(void) {
  const volatile int32_t* block = SharedBlock();
  if (block == NULL) {
    Log("STATE none");
    return;
  }
  const int after = sizeof(void*) == 8 ? 4 : 2;  // first int32 index after hModuleSelf
  Log("STATE notify=0x%08lX extra=%ld start=%ld result=%ld tray=0x%08lX start_button=0x%08lX "
      "tabs=0x%08lX",
      static_cast<unsigned long>(block[0]), static_cast<long>(block[after]),
      static_cast<long>(block[after + 1]), static_cast<long>(block[after + 2]),
      static_cast<unsigned long>(block[after + 3]), static_cast<unsigned long>(block[after + 4]),
      static_cast<unsigned long>(block[after + 5]));
}

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
    } else if (request.wParam != 0x1234 || static_cast<uint32_t>(request.lParam) != PackPoint(300, 200)) {
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
    case WM_APP + 1:
      SignalHookHandles(NULL, NULL, reinterpret_cast<HWND>(wParam));
      Log("HANDLES tabs=0x%08lX", static_cast<unsigned long>(wParam));
      return 0;
    case WM_APP + 2:
      Log("STARTMENU %ld", static_cast<long>(SignalHookStartMenu(static_cast<int32_t>(wParam))));
      return 0;
    case WM_APP + 3:
      Log("UNINSTALL %d", UninstallMouseHook());
      return 0;
    case WM_APP + 4:
      Log("INSTALL %d", InstallMouseHook(hwnd) != NULL);
      return 0;
    case WM_APP + 5:
      Log("EXTRAMENU %ld", static_cast<long>(SignalHookExtraMenu(static_cast<int32_t>(wParam))));
      return 0;
    case WM_APP + 6:
      LogSharedState();
      return 0;
    case WM_APP + 7:
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
  startTick = GetTickCount();
  const char* logOption = strstr(commandLine, "--log ");
  if (logOption != NULL) logFile = fopen(logOption + 6, "a");

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
