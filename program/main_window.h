// The program's entry and its main window: a permanently minimized taskbar button that
// receives the hook's messages, the control menu's commands and the timers.
#ifndef PIVOTRIX_PROGRAM_MAIN_WINDOW_H
#define PIVOTRIX_PROGRAM_MAIN_WINDOW_H

#include <windows.h>

extern "C" LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

#endif
