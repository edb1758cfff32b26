// Icons as the shell shows them, by their index in the system image list: one list of icons
// for the whole process, so that an item holds a number rather than an icon handle of its
// own. Any thread may call these.
#ifndef PIVOTRIX_PROGRAM_SHELL_ICONS_H
#define PIVOTRIX_PROGRAM_SHELL_ICONS_H

#include <windows.h>
#include <shtypes.h>

// The system image list's index of the small icon the shell shows for a file, a folder or
// a parsing name it knows (a "shell:" name among them); -1 where it has none. The shell
// may take some milliseconds: it reads a shortcut and its target.
int ShellIconIndex(const WCHAR* path);

// The same for an item of the shell's namespace.
int ShellIconIndexOf(LPCITEMIDLIST item);

// The small icons' size in pixels for a monitor of `dpi` dots per inch.
int SmallIconSizeFor(UINT dpi);

// Draws the image list's icon `index` with its top-left corner at (x, y), `size` pixels
// wide and high; nothing for -1.
void DrawShellIcon(HDC dc, int index, int x, int y, int size);

#endif
