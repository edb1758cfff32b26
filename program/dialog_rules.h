// Dialog placement and the help viewer's command line, over plain values.
#ifndef PIVOTRIX_PROGRAM_DIALOG_RULES_H
#define PIVOTRIX_PROGRAM_DIALOG_RULES_H

#include <stddef.h>
#include <stdint.h>

// Where a dialog of `size` starts on a screen of `screen` pixels: centred, with the
// division truncating, and never above or left of the screen's origin.
int32_t CentreCoordinate(int32_t screen, int32_t size);

// write.exe "<helpDir>\PIVOTRIX.wri": at most 280 UTF-16 code units and its terminator. The
// document's path is quoted, as a start-up directory may hold spaces.
enum { HELP_COMMAND_SIZE = 281 };

// Builds the command line into `command`, cutting it at the buffer's end whatever the
// directory's length; returns its length. A drive root gives two backslashes in a row.
size_t BuildHelpCommandLine(const wchar_t* helpDir, wchar_t (&command)[HELP_COMMAND_SIZE]);

#endif
