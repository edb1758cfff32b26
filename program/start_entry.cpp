#include "start_entry.h"

#include <objbase.h>
#include <shellapi.h>

#include "program_state.h"
#include "start_folder_rules.h"

// "Pivotrix can't open "<name>"." and the system's text for the error, from the thread
// that tried.
static void ReportOpenFailure(const WCHAR* path, DWORD error) {
  const WCHAR* name = path + lstrlenW(path);
  while (name > path && name[-1] != L'\\') --name;
  char16_t units[START_NAME_SIZE];
  int count = 0;
  for (; count < START_NAME_SIZE - 1 && name[count] != 0; ++count) units[count] = name[count];
  units[count] = 0;
  WCHAR shown[START_NAME_SIZE];
  lstrcpynW(shown, name, ShownNameLength(units, false) + 1);
  // Where the system's text has a place for a name (%1 and on), the entry's goes there.
  DWORD_PTR inserts[9];
  for (DWORD_PTR& insert : inserts) insert = reinterpret_cast<DWORD_PTR>(shown);
  WCHAR reason[512];
  if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, NULL, error, 0,
                     reason, 512, reinterpret_cast<va_list*>(inserts)) == 0) {
    wsprintfW(reason, L"Error %lu.", error);
  }
  WCHAR text[1024];
  wsprintfW(text, L"Pivotrix can't open \"%s\".\r\n\r\n%s", shown, reason);
  MessageBoxW(NULL, text, L"Pivotrix", MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

// Set on the opening thread when the shell made a window with a caption on it: a box of its
// own ("Windows cannot find ...", "Open with") that has told the user already. The hidden
// windows of a DDE conversation have none.
static DWORD shellWindowSlot = TLS_OUT_OF_INDEXES;

static LRESULT CALLBACK WatchShellWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CBT_CREATEWNDW* created = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
    LONG style = created->lpcs->style;
    if ((style & WS_CHILD) == 0 && (style & WS_CAPTION) == WS_CAPTION) {
      TlsSetValue(shellWindowSlot, const_cast<CBT_CREATEWNDW*>(created));
    }
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}

// The shell may take its time (a slow program, a network drive, a shortcut to resolve), so
// this runs on a thread of its own while the main thread goes on handling the hook's
// messages. The call returns only once the shell is done with its prompts, as the thread
// ends right after.
static DWORD WINAPI OpenEntry(LPVOID parameter) {
  WCHAR* path = static_cast<WCHAR*>(parameter);
  HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  HHOOK watch = shellWindowSlot != TLS_OUT_OF_INDEXES
                    ? SetWindowsHookExW(WH_CBT, WatchShellWindows, NULL, GetCurrentThreadId())
                    : NULL;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;
  info.hwnd = Program.hwndMain;  // the owner of the shell's prompts
  info.lpFile = path;
  info.nShow = SW_SHOWNORMAL;
  bool opened = ShellExecuteExW(&info) != FALSE;
  DWORD error = GetLastError();
  bool shellSaidSo = watch != NULL && TlsGetValue(shellWindowSlot) != NULL;
  if (watch != NULL) UnhookWindowsHookEx(watch);
  if (!opened && error != ERROR_CANCELLED && !shellSaidSo) ReportOpenFailure(path, error);
  if (SUCCEEDED(com)) CoUninitialize();
  HeapFree(GetProcessHeap(), 0, path);
  return 0;
}

void OpenStartEntry(const WCHAR* pathOrParsingName) {
  if (shellWindowSlot == TLS_OUT_OF_INDEXES) shellWindowSlot = TlsAlloc();
  WCHAR* copy = static_cast<WCHAR*>(
      HeapAlloc(GetProcessHeap(), 0, (lstrlenW(pathOrParsingName) + 1) * sizeof(WCHAR)));
  if (copy == NULL) return;
  lstrcpyW(copy, pathOrParsingName);
  HANDLE thread = CreateThread(NULL, 0, OpenEntry, copy, 0, NULL);
  if (thread != NULL) {
    CloseHandle(thread);
  } else {
    ReportOpenFailure(copy, GetLastError());
    HeapFree(GetProcessHeap(), 0, copy);
  }
}
