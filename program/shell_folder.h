// The shell's special folders (Start Menu, Startup), by CSIDL.
#ifndef PIVOTRIX_PROGRAM_SHELL_FOLDER_H
#define PIVOTRIX_PROGRAM_SHELL_FOLDER_H

#include <windows.h>

// The folder's path as it is now, without creating it; false where the system has no such
// folder or no way to tell (a shell32 before version 5.0, which lacks SHGetFolderPathW).
bool ShellFolderPath(int csidl, WCHAR (&path)[MAX_PATH]);

#endif
