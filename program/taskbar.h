// The shell's taskbar, its Start button and its task tabs, found by class name.
#ifndef PIVOTRIX_PROGRAM_TASKBAR_H
#define PIVOTRIX_PROGRAM_TASKBAR_H

#include <windows.h>

// Fills hwndTray, hwndStartButton, hwndTaskTabs, hwndTaskButtons (null where nothing was
// found), the secondary taskbars' task lists and classicTaskbar, for the taskbar as
// whichever shell built it; tells the user when a task-switch window holds no known task
// list, in one box at a time. A Start button that the Start sequence moved is read at its
// home.
void FindTaskbarWindows(void);

// EnumWindows callback: stops at the first top-level "Shell_TrayWnd" of the process whose
// identifier lParam is (the shell's), or at the first one at all when lParam is 0.
extern "C" BOOL CALLBACK CheckWindows(HWND hwnd, LPARAM lParam);

// Reads the taskbar's auto-hide state into autoHide; returns the raw state bits.
UINT RefreshAutoHide(void);

#endif
