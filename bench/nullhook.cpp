// NULLHOOK.DLL: a system-wide mouse hook that decides nothing, built and installed like
// PIVOHOOK.DLL (no C runtime, own entry point), so that the benchmark can tell what any
// global mouse hook costs a program from what Pivotrix adds on top of it.
#include <windows.h>

extern "C" BOOL WINAPI NullhookEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" __declspec(dllexport) LRESULT CALLBACK NullMouseHook(int code, WPARAM wParam,
                                                                LPARAM lParam) {
  if (code < 0) return CallNextHookEx(NULL, code, wParam, lParam);
  return 0;
}
