// The modal dialogs: the runner, centring on the screen, and the dialog procedures that
// the program exports by name.
#ifndef PIVOTRIX_PROGRAM_DIALOGS_H
#define PIVOTRIX_PROGRAM_DIALOGS_H

#include <windows.h>

// Shows a dialog template modally; when it can't be shown, says so and ends the program.
void RunDialog(const char* templateName, DLGPROC procedure);

// Centres the dialog on the screen (never off its top-left corner) and shows it.
void CentreDialog(HWND dialog, HWND insertAfter);

// The dialog procedures are exported by name, as other programs open the templates with
// them: the program's own menus show only HELP and ABOUT (with ProcOK), while ProcEmpty,
// ProcHjelp, ProcControl and the CONFIG template are there for those callers.
extern "C" INT_PTR CALLBACK ProcOK(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR CALLBACK ProcEmpty(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR CALLBACK ProcHjelp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR CALLBACK ProcControl(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
