// The shell's Start menu opened at the cursor: the Start button is moved under the cursor,
// pressed there and put back, on three one-shot timers; the click that ends the Start menu
// hands the focus back to the popup's target window.
#ifndef PIVOTRIX_PROGRAM_START_MENU_H
#define PIVOTRIX_PROGRAM_START_MENU_H

void BeginStartMenu(void);
void OnMoveButtonTimer(void);
void OnPressButtonTimer(void);
void OnRestoreButtonTimer(void);

// Puts a Start button that the sequence moved back where it was; the shut-down calls it
// too, so that a close or a failed timer in the middle of the sequence leaves the shell's
// button in its place.
void PutStartButtonBack(void);
void OnStartClick(void);
void OnStartCancel(void);

#endif
