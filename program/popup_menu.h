// The popup at the mouse: queued on the hook's request, shown next to the cursor, and its
// window commands posted to the clicked window's top-level (or popup) window.
#ifndef PIVOTRIX_PROGRAM_POPUP_MENU_H
#define PIVOTRIX_PROGRAM_POPUP_MENU_H

#include <windows.h>
#include <stdint.h>

void OnPopupRequest(WPARAM wParam, LPARAM lParam);
void OnPopupTimer(void);
void OnPopupNow(WPARAM wParam, LPARAM lParam);
void OnPopupClick(void);

// Carries out a popup command (WM_COMMAND); any other identifier is ignored.
void OnPopupCommand(UINT id, LPARAM lParam);

// The items' pictures, loaded at window creation for the primary monitor's DPI and
// deleted at shut-down.
void LoadPopupPictures(void);
void FreePopupPictures(void);

// A monitor's DPI: its own on Windows 8.1 and later, the screen's before.
uint32_t MonitorDpi(HMONITOR monitor);

#endif
