// The names that Explorer shows for the Start Menus' folders and entries. Explorer reads
// them from each folder's "desktop.ini" itself; the shell's name functions don't apply it
// on every system (Wine's SHGetFileInfoW and IShellItem names ignore it), so the program
// reads it too. Any thread may call these.
#ifndef PIVOTRIX_PROGRAM_START_NAMES_H
#define PIVOTRIX_PROGRAM_START_NAMES_H

#include <windows.h>

// The name shown for the item `fileName` of `folder` (a folder when `isFolder`): its own
// desktop.ini's name for a folder marked read-only or system, else the one the folder's desktop.ini gives it, with
// "@module,-id" strings loaded; where none is given or it can't be loaded, the file name
// without ".lnk", ".url" or ".pif". Returns its length, cut to `size` - 1 units. The
// calling thread keeps the last folder's desktop.ini, so that the items of one folder
// read it once.
int LookUpShownName(const WCHAR* folder, const WCHAR* fileName, bool isFolder, WCHAR* shown,
                    int size);

// The same for an item that a directory search found. A folder's own desktop.ini counts
// only where the folder is marked read-only or system, as Explorer reads it only then; the
// search's attributes spare asking.
int LookUpFoundName(const WCHAR* folder, const WIN32_FIND_DATAW& found, WCHAR* shown, int size);

// Frees what LookUpShownName keeps for the calling thread; call it before the thread ends.
void ForgetShownNames(void);

#endif
