// The library's exported control functions and its shared block.
#include "hook_interface.h"

#include "hook_shared.h"

SharedBlock shared __attribute__((section("SHARDATA"), shared)) = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {0, 0, 0, 0, 0, 0, 0}};

HHOOK hHook;
HOOKPROC hookProc;
intptr_t currentEvent;

// The use of the library that InstallMouseHook added in this process and that has not been
// released yet, with the handle it was added through. UninstallMouseHook releases only
// that one, so a process that never installed (or already uninstalled) frees nothing.
static bool useAdded;
static HMODULE moduleAdded;

// The hook this process installed and has not removed yet.
static HHOOK hookInstalled;

// The entry point the linker names (the library has no C runtime start-up). It runs in
// every process the hook is mapped into, so it does nothing: there is nothing to set up.
extern "C" BOOL WINAPI PivohookEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

int WINAPI WEP(int) { return 1; }

// Once per process: while this process's hook is installed, a further call returns it and
// changes nothing, so that one UninstallMouseHook always removes it.
HHOOK WINAPI InstallMouseHook(HWND hwndNotify) {
  if (hookInstalled != NULL) return hookInstalled;
  shared.hwndNotify = HandleToShared(hwndNotify);
  shared.extraMenuState = 0;
  shared.startMenuState = 0;
  shared.triggerPress = 0;

  // Loading ourselves by name raises our use count, so the library stays mapped here for
  // as long as the hook that the system maps into other processes may run.
  HMODULE self = useAdded ? moduleAdded : LoadLibraryA("PIVOHOOK.DLL");
  shared.hModuleSelf = reinterpret_cast<uintptr_t>(self);
  if (self != NULL) {
    moduleAdded = self;
    useAdded = true;
  }

  // FARPROC carries no signature; going through void* keeps the cast honest about that.
  FARPROC found = self != NULL ? GetProcAddress(self, "MouseHook") : NULL;
  hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(found));
  if (hookProc == NULL) return NULL;
  hHook = SetWindowsHookExA(WH_MOUSE, hookProc, self, 0);
  hookInstalled = hHook;
  return hHook;
}

BOOL WINAPI UninstallMouseHook(void) {
  if (hookProc != NULL) UnhookWindowsHookEx(hHook);
  hookInstalled = NULL;
  if (!useAdded) return FALSE;
  useAdded = false;
  return FreeLibrary(moduleAdded);
}

int32_t WINAPI SignalHookExtraMenu(int32_t state) {
  shared.extraMenuState = state;
  return state;
}

int32_t WINAPI SignalHookStartMenu(int32_t state) {
  shared.startMenuState = state;
  return state;
}

// What brings the popup (Trigger); the hook reads it on every right press and release.
int32_t WINAPI SignalHookTrigger(int32_t trigger) {
  shared.trigger = trigger;
  return trigger;
}

void WINAPI SignalHookHandles(HWND hwndTray, HWND hwndStartButton, HWND hwndTaskTabs) {
  shared.hwndTray = HandleToShared(hwndTray);
  shared.hwndStartButton = HandleToShared(hwndStartButton);
  shared.hwndTaskTabs = HandleToShared(hwndTaskTabs);
}

// Wine's task buttons, and the task lists of the secondary taskbars; those past the block's
// room are left out, and the rest of the room is cleared.
void WINAPI SignalHookTaskLists(HWND hwndTaskButtons, const HWND* more, int32_t count) {
  shared.hwndTaskButtons = HandleToShared(hwndTaskButtons);
  for (int32_t i = 0; i < MORE_TASK_LISTS; ++i) {
    shared.hwndMoreTaskLists[i] = i < count ? HandleToShared(more[i]) : 0;
  }
}
