// The Find box of the own Start menu: a small window with a text field above the list of
// Start Menu entries whose names hold the typed text; Enter starts the selected one.
#ifndef PIVOTRIX_PROGRAM_FIND_BOX_H
#define PIVOTRIX_PROGRAM_FIND_BOX_H

#include <windows.h>

// Shows the box with its bottom-left corner at `anchor` (where the menu's stood: the
// cursor), on that point's monitor and sized for its DPI, and gives it the keyboard. When
// it closes without starting an entry, the focus goes back to `focusBack`. Returns at once;
// a box already shown is closed first.
void ShowFindBox(POINT anchor, HWND focusBack);

#endif
