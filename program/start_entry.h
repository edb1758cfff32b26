// Opening a Start menu entry, for the own Start menu and its Find box alike.
#ifndef PIVOTRIX_PROGRAM_START_ENTRY_H
#define PIVOTRIX_PROGRAM_START_ENTRY_H

#include <windows.h>

// Opens a file, a folder or a name the shell parses ("shell:AppsFolder\<app>", a URL) as a
// double click in Explorer would: the shell's default verb, on a thread of its own, with
// the shell's own prompts ("Open with", elevation). A failure that the shell reports with
// no window of its own gets Pivotrix's box; a prompt the user declined gets none. Returns
// at once.
void OpenStartEntry(const WCHAR* pathOrParsingName);

#endif
