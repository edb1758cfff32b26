#include "shell_folder.h"

#include <shlobj.h>

// Looked up rather than imported: shell32 has it from version 5.0 on, and the program must
// still load on the older systems, which have the classic taskbar.
typedef HRESULT(WINAPI* FolderPathLookup)(HWND, int, HANDLE, DWORD, LPWSTR);

bool ShellFolderPath(int csidl, WCHAR (&path)[MAX_PATH]) {
  HMODULE shell = GetModuleHandleA("shell32.dll");
  FARPROC found = shell != NULL ? GetProcAddress(shell, "SHGetFolderPathW") : NULL;
  if (found == NULL) return false;
  FolderPathLookup lookUp = reinterpret_cast<FolderPathLookup>(reinterpret_cast<void*>(found));
  // S_FALSE: no such folder. Nothing is created.
  return lookUp(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path) == S_OK;
}
