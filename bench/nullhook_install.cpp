// Installs NULLHOOK.DLL's NullMouseHook as a system-wide WH_MOUSE hook, the way
// InstallMouseHook installs Pivotrix's, and keeps it until its window (class
// "PivotrixNullHook") is closed. Logs "READY hwnd=0x... hook=1|0".
// WM_APP+1 (0x8001) with wParam 0 removes the hook, with 1 installs it again; the answer
// is 1 when the hook is installed afterwards.
// Usage: nullhook_install.exe [--log FILE]
#include <windows.h>
#include <stdio.h>
#include <string.h>

static HHOOK hook;
static HMODULE library;

static void SetHook(bool on) {
  if (!on && hook != NULL) {
    UnhookWindowsHookEx(hook);
    hook = NULL;
  }
  if (on && hook == NULL) {
    FARPROC found = library != NULL ? GetProcAddress(library, "NullMouseHook") : NULL;
    HOOKPROC proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(found));
    if (proc != NULL) hook = SetWindowsHookExA(WH_MOUSE, proc, library, 0);
  }
}

static LRESULT CALLBACK InstallerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP + 1) {
    SetHook(wParam != 0);
    return hook != NULL;
  }
  if (message == WM_DESTROY) {
    if (hook != NULL) UnhookWindowsHookEx(hook);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

int main(int argc, char** argv) {
  FILE* log = argc == 3 && strcmp(argv[1], "--log") == 0 ? fopen(argv[2], "a") : NULL;
  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = InstallerProc;
  wc.hInstance = instance;
  wc.lpszClassName = "PivotrixNullHook";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "nullhook", WS_POPUP, 0, 0, 1, 1, NULL,
                              NULL, instance, NULL);
  if (hwnd == NULL) return 1;

  library = LoadLibraryA("NULLHOOK.DLL");
  SetHook(true);
  char line[64];
  snprintf(line, sizeof line, "0 READY hwnd=0x%08lX hook=%d",
           static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)), hook != NULL);
  printf("%s\n", line);
  fflush(stdout);
  if (log != NULL) {
    fprintf(log, "%s\n", line);
    fflush(log);
  }

  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
