// The shell's taskbar, its Start button and its task tabs, found by class name.
#ifndef PIVOTRIX_PROGRAM_TASKBAR_H
#define PIVOTRIX_PROGRAM_TASKBAR_H

#include <windows.h>

// Fills hwndTray, hwndStartButton and hwndTaskTabs (null where nothing was found).
void FindTaskbarWindows(void);

// EnumWindows callback: stops at the first top-level "Shell_TrayWnd".
extern "C" BOOL CALLBACK CheckWindows(HWND hwnd, LPARAM lParam);

// Reads the taskbar's auto-hide state into autoHide; returns the raw state bits.
UINT RefreshAutoHide(void);

#endif
