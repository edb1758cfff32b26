#include "message_filter.h"

#include "../common/private_messages.h"
#include "program_state.h"

// Since Windows Vista a program run as administrator receives from programs with fewer
// rights only the messages it lets through. The hook runs inside those programs and posts
// from there: without this, Pivotrix run as administrator would get no popup request at all.
typedef BOOL(WINAPI* ChangeFilterProc)(HWND hwnd, UINT message, DWORD action, void* status);
enum { FILTER_ALLOW = 1 };  // MSGFLT_ALLOW

void AllowPrivateMessages(HWND hwnd) {
  FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx");
  if (found == NULL) return;
  ChangeFilterProc allow = reinterpret_cast<ChangeFilterProc>(reinterpret_cast<void*>(found));
  static const UINT kAllowed[] = {UM_POPUP_NOW, UM_START_CLICK, UM_START_CANCEL, UM_POPUP_REQUEST,
                                  UM_POPUP_CLICK};
  for (UINT message : kAllowed) allow(hwnd, message, FILTER_ALLOW, NULL);
  // The shell announces a new taskbar with this registered message.
  if (Program.taskbarCreated != 0) allow(hwnd, Program.taskbarCreated, FILTER_ALLOW, NULL);
}
