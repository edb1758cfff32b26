// The main window's message filter: which of other processes' messages it accepts when
// Pivotrix runs with higher rights than they do.
#ifndef PIVOTRIX_PROGRAM_MESSAGE_FILTER_H
#define PIVOTRIX_PROGRAM_MESSAGE_FILTER_H

#include <windows.h>

// Lets the private messages and the shell's "TaskbarCreated" reach hwnd from programs with
// fewer rights. Does nothing before Windows 7, which lacks the per-window filter.
void AllowPrivateMessages(HWND hwnd);

#endif
