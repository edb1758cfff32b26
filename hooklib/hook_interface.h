// What PIVOHOOK.DLL exports. Their fixed ordinals, and which of them the menu program
// imports, are listed in pivohook.exports.
#ifndef PIVOTRIX_HOOKLIB_HOOK_INTERFACE_H
#define PIVOTRIX_HOOKLIB_HOOK_INTERFACE_H

#include <windows.h>
#include <stdint.h>

#ifdef PIVOHOOK_BUILD
#define PIVOHOOK_API extern "C"
#else
#define PIVOHOOK_API extern "C" __declspec(dllimport)
#endif

PIVOHOOK_API int WINAPI WEP(int unused);
PIVOHOOK_API HHOOK WINAPI InstallMouseHook(HWND hwndNotify);
PIVOHOOK_API BOOL WINAPI UninstallMouseHook(void);
PIVOHOOK_API LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);
PIVOHOOK_API int32_t WINAPI SignalHookExtraMenu(int32_t state);
PIVOHOOK_API int32_t WINAPI SignalHookStartMenu(int32_t state);
PIVOHOOK_API void WINAPI SignalHookHandles(HWND hwndTray, HWND hwndStartButton,
                                           HWND hwndTaskTabs);
PIVOHOOK_API int32_t WINAPI SignalHookTrigger(int32_t trigger);
PIVOHOOK_API void WINAPI SignalHookTaskLists(HWND hwndTaskButtons, const HWND* more,
                                             int32_t count);

#endif
