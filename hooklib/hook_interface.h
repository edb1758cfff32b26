// What PIVOHOOK.DLL exports, by fixed ordinal (see pivohook.def.in). The menu program
// imports InstallMouseHook, UninstallMouseHook, SignalHookStartMenu and SignalHookHandles.
#ifndef PIVOTRIX_HOOKLIB_HOOK_INTERFACE_H
#define PIVOTRIX_HOOKLIB_HOOK_INTERFACE_H

#include <windows.h>
#include <stdint.h>

#ifdef PIVOHOOK_BUILD
#define PIVOHOOK_API extern "C"
#else
#define PIVOHOOK_API extern "C" __declspec(dllimport)
#endif

PIVOHOOK_API int WINAPI WEP(int unused);                                  // @1
PIVOHOOK_API HHOOK WINAPI InstallMouseHook(HWND hwndNotify);              // @2
PIVOHOOK_API BOOL WINAPI UninstallMouseHook(void);                        // @3
PIVOHOOK_API LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);  // @4
PIVOHOOK_API int32_t WINAPI SignalHookExtraMenu(int32_t state);           // @5
PIVOHOOK_API int32_t WINAPI SignalHookStartMenu(int32_t state);           // @6
PIVOHOOK_API void WINAPI SignalHookHandles(HWND hwndTray, HWND hwndStartButton,
                                           HWND hwndTaskTabs);            // @7

#endif
