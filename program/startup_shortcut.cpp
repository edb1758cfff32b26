#include "startup_shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include "program_state.h"
#include "shell_folder.h"

// The shortcut starts this program in the directory whose settings file it uses: started
// anywhere else, it would read and write another PIVOTRIX.INI.
struct ThisProgram {
  WCHAR path[MAX_PATH];
  WCHAR settingsDir[MAX_PATH];
};

static bool FindThisProgram(ThisProgram& program) {
  DWORD length = GetModuleFileNameW(NULL, program.path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  WCHAR* file = NULL;
  length = GetFullPathNameW(Program.iniPath, MAX_PATH, program.settingsDir, &file);
  if (length == 0 || length >= MAX_PATH || file == NULL) return false;
  // The directory keeps its backslash only as a drive's root, C:\.
  if (file > program.settingsDir + 3) --file;
  *file = 0;
  return true;
}

// "Pivotrix.lnk" in the user's Startup folder; false when there is no such folder.
static bool ShortcutPath(WCHAR (&path)[MAX_PATH]) {
  static const WCHAR kName[] = L"\\Pivotrix.lnk";
  if (!ShellFolderPath(CSIDL_STARTUP, path)) return false;
  if (lstrlenW(path) + lstrlenW(kName) >= MAX_PATH) return false;
  lstrcatW(path, kName);
  return true;
}

// A new shell link object and its file interface; false (nothing held) when either fails.
static bool NewShellLink(IShellLinkW*& link, IPersistFile*& file) {
  link = NULL;
  file = NULL;
  // The identifiers come from the headers (__uuidof): the system's library of them would
  // add thousands that the program never uses.
  if (FAILED(CoCreateInstance(__uuidof(ShellLink), NULL, CLSCTX_INPROC_SERVER,
                              __uuidof(IShellLinkW), reinterpret_cast<void**>(&link)))) {
    return false;
  }
  if (SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file)))) {
    return true;
  }
  link->Release();
  return false;
}

StartupShortcut ReadStartupShortcut(void) {
  WCHAR path[MAX_PATH];
  ThisProgram program;
  if (!ShortcutPath(path) || !FindThisProgram(program)) return SHORTCUT_MISSING;
  bool exists = GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
  WCHAR target[MAX_PATH] = L"";
  WCHAR workingDir[MAX_PATH] = L"";
  IShellLinkW* link;
  IPersistFile* file;
  bool read = exists && NewShellLink(link, file);
  if (read) {
    read = SUCCEEDED(file->Load(path, STGM_READ)) &&
           link->GetPath(target, MAX_PATH, NULL, 0) == S_OK &&
           SUCCEEDED(link->GetWorkingDirectory(workingDir, MAX_PATH));
    file->Release();
    link->Release();
  }
  return JudgeStartupShortcut(exists, read ? target : NULL, read ? workingDir : NULL,
                              program.path, program.settingsDir);
}

// Saved beside its place first and then moved there in one step, so that a failure leaves
// whatever stood there before.
static bool WriteShortcut(const WCHAR* path) {
  ThisProgram program;
  IShellLinkW* link;
  IPersistFile* file;
  if (!FindThisProgram(program) || !NewShellLink(link, file)) return false;
  WCHAR saved[MAX_PATH + 4];
  lstrcpyW(saved, path);
  lstrcatW(saved, L".new");
  bool written = SUCCEEDED(link->SetPath(program.path)) &&
                 SUCCEEDED(link->SetWorkingDirectory(program.settingsDir)) &&
                 SUCCEEDED(file->Save(saved, TRUE));
  file->Release();
  link->Release();
  if (written && MoveFileExW(saved, path, MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(saved);
  return false;
}

void SwitchStartWithWindows(bool on) {
  WCHAR path[MAX_PATH];
  if (ShortcutPath(path) && (on ? WriteShortcut(path) : DeleteFileW(path) != 0)) return;
  MessageBoxA(Program.hwndMain,
              "Pivotrix could not change its shortcut \"Pivotrix.lnk\" in your Startup folder. "
              "Whether Pivotrix starts with Windows stays as it was.",
              "Pivotrix", MB_OK | MB_ICONWARNING);
}
