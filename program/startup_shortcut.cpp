#include "startup_shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include "program_state.h"
#include "shell_folder.h"

// Looked up rather than imported: kernel32 has it from Windows 98 and 2000 on, and the
// program must still load on Windows 95 and NT 4.0.
typedef DWORD(WINAPI* LongPathLookup)(LPCWSTR, LPWSTR, DWORD);

// `made` is `path` made full and, where the file exists, long: every short 8.3 part
// replaced by its long name. What can't be made stays as it is.
static void MakeFullAndLong(const WCHAR* path, WCHAR (&made)[MAX_PATH]) {
  DWORD length = GetFullPathNameW(path, MAX_PATH, made, NULL);
  if (length == 0 || length >= MAX_PATH) lstrcpynW(made, path, MAX_PATH);
  FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameW");
  if (found == NULL) return;
  LongPathLookup lookUp = reinterpret_cast<LongPathLookup>(reinterpret_cast<void*>(found));
  WCHAR longPath[MAX_PATH];
  length = lookUp(made, longPath, MAX_PATH);
  if (length > 0 && length < MAX_PATH) lstrcpyW(made, longPath);
}

// Asks the file or folder for its volume and index. No access is asked for, so a file that
// may not be read still answers; backup semantics let a folder be opened at all.
static FileIdentity IdentifyFile(const WCHAR* path) {
  FileIdentity identity = {false, 0, 0};
  HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
  if (file == INVALID_HANDLE_VALUE) return identity;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file, &info)) {
    identity.known = true;
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  }
  CloseHandle(file);
  return identity;
}

static NamedFile NameFile(const WCHAR* path, WCHAR (&made)[MAX_PATH]) {
  MakeFullAndLong(path, made);
  NamedFile named = {made, IdentifyFile(made)};
  return named;
}

// The shortcut starts this program in the directory whose settings file it uses: started
// anywhere else, it would read and write another PIVOTRIX.INI. Both are written long, as
// the module's name may be the short one it was started by.
struct ThisProgram {
  WCHAR path[MAX_PATH];
  WCHAR settingsDir[MAX_PATH];
  NamedFile program;
  NamedFile settings;
};

static bool FindThisProgram(ThisProgram& program) {
  WCHAR path[MAX_PATH];
  DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  program.program = NameFile(path, program.path);
  WCHAR* file = NULL;
  length = GetFullPathNameW(Program.iniPath, MAX_PATH, path, &file);
  if (length == 0 || length >= MAX_PATH || file == NULL) return false;
  // The directory keeps its backslash only as a drive's root, C:\.
  if (file > path + 3) --file;
  *file = 0;
  program.settings = NameFile(path, program.settingsDir);
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

// What the shortcut file at `path` starts, judged against this program.
static StartupShortcut JudgeShortcutFile(const WCHAR* path, const ThisProgram& program) {
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
  WCHAR targetMade[MAX_PATH];
  WCHAR workingDirMade[MAX_PATH];
  NamedFile named[2] = {NameFile(target, targetMade), NameFile(workingDir, workingDirMade)};
  return JudgeStartupShortcut(exists, read ? &named[0] : NULL, read ? &named[1] : NULL,
                              program.program, program.settings);
}

StartupShortcut ReadStartupShortcut(void) {
  WCHAR path[MAX_PATH];
  ThisProgram program;
  if (!ShortcutPath(path) || !FindThisProgram(program)) return SHORTCUT_MISSING;
  return JudgeShortcutFile(path, program);
}

// Saved beside its place first, read back, and then moved there in one step, so that a
// failure, or a shortcut that would not start this program here, leaves whatever stood
// there before.
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
  if (written && JudgeShortcutFile(saved, program) == SHORTCUT_THIS &&
      MoveFileExW(saved, path, MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
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
