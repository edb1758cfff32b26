// Window helpers shared by the test tools: window handles printed in one format, and for
// the tools with windows of their own, subclassed controls and the message loop.
#ifndef PIVOTRIX_TESTS_E2E_TOOLS_TOOL_WINDOW_H
#define PIVOTRIX_TESTS_E2E_TOOLS_TOOL_WINDOW_H

#include <windows.h>
#include <stdio.h>

// A window handle as the tools print it: "0x%08llX" of the full value, so more than eight
// digits only when it does not fit in 32 bits.
struct HandleText {
  char text[24];
};

inline HandleText FormatHandle(HWND hwnd) {
  HandleText handle;
  snprintf(handle.text, sizeof handle.text, "0x%08llX",
           static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hwnd)));
  return handle;
}

// A child window's id as CreateWindowEx takes it, in place of a menu.
inline HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// Gives `control` the window procedure `procedure`; returns the one it had.
inline WNDPROC ReplaceWindowProc(HWND control, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

inline void SetGuiFont(HWND control) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
}

// Dispatches messages until WM_QUIT; returns its exit code, or 3 when GetMessage fails.
// With a `dialog`, its keyboard messages go through IsDialogMessage while it exists.
inline int RunMessageLoop(HWND dialog) {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageA(&msg, NULL, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 3;
    if (dialog != NULL && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Reports a bad command line on stderr: "NAME: what" and "usage: NAME options"; returns
// the exit code for it, 2.
inline int UsageError(const char* name, const char* options, const char* what) {
  fprintf(stderr, "%s: %s\nusage: %s %s\n", name, what, name, options);
  fflush(stderr);
  return 2;
}

#endif
