#include "start_names.h"

#include "start_folder_rules.h"
#include "start_names_rules.h"

enum { INI_SIZE_LIMIT = 64 * 1024 };  // bytes: far more than any desktop.ini holds

// The last folder whose desktop.ini a thread read, and its text (null: it has none).
struct FolderNames {
  WCHAR* folder;
  char16_t* text;
  int length;
};

static DWORD volatile namesSlot = TLS_OUT_OF_INDEXES;

static void* Allocate(SIZE_T bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }

static void Free(void* block) {
  if (block != NULL) HeapFree(GetProcessHeap(), 0, block);
}

// The thread-local slot, taken by the first thread to ask; a slot taken by two at once is
// given back by the one that lost.
static DWORD NamesSlot(void) {
  if (namesSlot != TLS_OUT_OF_INDEXES) return namesSlot;
  DWORD slot = TlsAlloc();
  if (slot == TLS_OUT_OF_INDEXES) return slot;
  LONG previous = InterlockedCompareExchange(reinterpret_cast<LONG volatile*>(&namesSlot),
                                             static_cast<LONG>(slot),
                                             static_cast<LONG>(TLS_OUT_OF_INDEXES));
  if (previous != static_cast<LONG>(TLS_OUT_OF_INDEXES)) TlsFree(slot);
  return namesSlot;
}

// "<folder>\<name>[\<more>]" on the process heap. A path past MAX_PATH (deep nesting)
// takes the "\\?\" prefix, which a path that starts with a drive letter takes as it is.
static WCHAR* JoinPath(const WCHAR* folder, const WCHAR* name, const WCHAR* more) {
  int length = lstrlenW(folder) + lstrlenW(name) + (more != NULL ? lstrlenW(more) : 0) + 3;
  bool prefixed = length >= MAX_PATH && folder[0] != 0 && folder[1] == L':';
  WCHAR* path = static_cast<WCHAR*>(Allocate((length + 4) * sizeof(WCHAR)));
  if (path == NULL) return NULL;
  lstrcpyW(path, prefixed ? L"\\\\?\\" : L"");
  lstrcatW(path, folder);
  lstrcatW(path, L"\\");
  lstrcatW(path, name);
  if (more != NULL) {
    lstrcatW(path, L"\\");
    lstrcatW(path, more);
  }
  return path;
}

// A desktop.ini's text: UTF-16 after its byte-order mark, UTF-8 after its own, else the
// system's code page, as the profile functions read it. Null when there is none.
static char16_t* ReadIniText(const WCHAR* path, int* length) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
  if (file == INVALID_HANDLE_VALUE) return NULL;
  BYTE* bytes = static_cast<BYTE*>(Allocate(INI_SIZE_LIMIT));
  DWORD count = 0;
  if (bytes != NULL && !ReadFile(file, bytes, INI_SIZE_LIMIT, &count, NULL)) count = 0;
  CloseHandle(file);
  WCHAR* wide = count != 0 ? static_cast<WCHAR*>(Allocate(count * sizeof(WCHAR))) : NULL;
  int units = 0;
  if (wide != NULL) {
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
      units = static_cast<int>((count - 2) / 2);
      for (int i = 0; i < units; ++i) wide[i] = static_cast<WCHAR>(bytes[2 + 2 * i] | (bytes[3 + 2 * i] << 8));
    } else if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
      units = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<char*>(bytes) + 3, count - 3,
                                  wide, count);
    } else {
      units = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<char*>(bytes), count, wide, count);
    }
  }
  Free(bytes);
  char16_t* text = units > 0 ? static_cast<char16_t*>(Allocate(units * sizeof(char16_t))) : NULL;
  for (int i = 0; text != NULL && i < units; ++i) text[i] = wide[i];
  Free(wide);
  *length = text != NULL ? units : 0;
  return text;
}

typedef HRESULT(WINAPI* LoadIndirectStringProc)(PCWSTR source, PWSTR out, UINT size, void**);

// shlwapi's SHLoadIndirectString (Windows XP SP1 on; the process has shlwapi through
// shell32), or null.
static LoadIndirectStringProc IndirectStringLoader(void) {
  HMODULE shlwapi = GetModuleHandleA("shlwapi.dll");
  FARPROC found = shlwapi != NULL ? GetProcAddress(shlwapi, "SHLoadIndirectString") : NULL;
  return reinterpret_cast<LoadIndirectStringProc>(reinterpret_cast<void*>(found));
}

// "@module,-id" from the module's string table, where the shell's own lookup has none.
static int LoadModuleString(const WCHAR* value, int length, WCHAR* shown, int size) {
  char16_t units[MAX_PATH];
  if (length >= MAX_PATH) return 0;
  for (int i = 0; i < length; ++i) units[i] = value[i];
  int start = 0;
  int moduleLength = 0;
  uint32_t id = 0;
  if (!ParseIndirectString(units, length, &start, &moduleLength, &id)) return 0;
  WCHAR module[MAX_PATH];
  WCHAR expanded[MAX_PATH];
  for (int i = 0; i < moduleLength; ++i) module[i] = units[start + i];
  module[moduleLength] = 0;
  DWORD expandedLength = ExpandEnvironmentStringsW(module, expanded, MAX_PATH);
  if (expandedLength == 0 || expandedLength > MAX_PATH) return 0;
  HMODULE strings = LoadLibraryExW(expanded, NULL, LOAD_LIBRARY_AS_DATAFILE);
  if (strings == NULL) return 0;
  int loaded = LoadStringW(strings, id, shown, size);
  FreeLibrary(strings);
  return loaded;
}

// The name a desktop.ini value stands for: itself, or the string an "@module,-id" names.
static int ResolveName(const char16_t* value, int length, WCHAR* shown, int size) {
  WCHAR source[MAX_PATH];
  if (length >= MAX_PATH) length = MAX_PATH - 1;
  for (int i = 0; i < length; ++i) source[i] = value[i];
  source[length] = 0;
  if (source[0] != L'@') {
    lstrcpynW(shown, source, size);
    return lstrlenW(shown);
  }
  LoadIndirectStringProc load = IndirectStringLoader();
  if (load != NULL && load(source, shown, size, NULL) == S_OK && shown[0] != 0) {
    return lstrlenW(shown);
  }
  return LoadModuleString(source, length, shown, size);
}

static FolderNames* ThreadNames(void) {
  DWORD slot = NamesSlot();
  if (slot == TLS_OUT_OF_INDEXES) return NULL;
  FolderNames* names = static_cast<FolderNames*>(TlsGetValue(slot));
  if (names == NULL) {
    names = static_cast<FolderNames*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *names));
    if (names != NULL && !TlsSetValue(slot, names)) {
      Free(names);
      names = NULL;
    }
  }
  return names;
}

// The folder's desktop.ini, read once for all its items.
static const FolderNames* NamesOf(const WCHAR* folder) {
  FolderNames* names = ThreadNames();
  if (names == NULL) return NULL;
  if (names->folder != NULL && lstrcmpiW(names->folder, folder) == 0) return names;
  Free(names->folder);
  Free(names->text);
  names->text = NULL;
  names->length = 0;
  names->folder = static_cast<WCHAR*>(Allocate((lstrlenW(folder) + 1) * sizeof(WCHAR)));
  if (names->folder != NULL) lstrcpyW(names->folder, folder);
  WCHAR* path = JoinPath(folder, L"desktop.ini", NULL);
  if (path != NULL) names->text = ReadIniText(path, &names->length);
  Free(path);
  return names;
}

// A folder's own name, from the desktop.ini inside it.
static int FolderOwnName(const WCHAR* folder, const WCHAR* fileName, WCHAR* shown, int size) {
  WCHAR* path = JoinPath(folder, fileName, L"desktop.ini");
  int length = 0;
  char16_t* text = path != NULL ? ReadIniText(path, &length) : NULL;
  Free(path);
  const char16_t* value = NULL;
  int found = text != NULL ? DesktopIniName(text, length, NULL, &value) : -1;
  int shownLength = found > 0 ? ResolveName(value, found, shown, size) : 0;
  Free(text);
  return shownLength;
}

// Explorer applies a folder's own desktop.ini only when the folder is marked read-only or
// system (PathMakeSystemFolder sets the mark).
static bool TakesOwnName(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

static int ShownName(const WCHAR* folder, const WCHAR* fileName, bool isFolder, bool ownName,
                     WCHAR* shown, int size) {
  char16_t name[START_NAME_SIZE];
  int nameLength = 0;
  for (; nameLength < START_NAME_SIZE - 1 && fileName[nameLength] != 0; ++nameLength) {
    name[nameLength] = fileName[nameLength];
  }
  name[nameLength] = 0;
  int length = isFolder && ownName ? FolderOwnName(folder, fileName, shown, size) : 0;
  const FolderNames* names = length > 0 ? NULL : NamesOf(folder);
  const char16_t* value = NULL;
  int found = names != NULL && names->text != NULL
                  ? DesktopIniName(names->text, names->length, name, &value)
                  : -1;
  if (found > 0) length = ResolveName(value, found, shown, size);
  if (length > 0) return length;
  length = ShownNameLength(name, isFolder);
  if (length > size - 1) length = size - 1;
  for (int i = 0; i < length; ++i) shown[i] = name[i];
  shown[length] = 0;
  return length;
}

int LookUpShownName(const WCHAR* folder, const WCHAR* fileName, bool isFolder, WCHAR* shown,
                    int size) {
  bool ownName = false;
  if (isFolder) {
    WCHAR* path = JoinPath(folder, fileName, NULL);
    ownName = path != NULL && TakesOwnName(GetFileAttributesW(path));
    Free(path);
  }
  return ShownName(folder, fileName, isFolder, ownName, shown, size);
}

int LookUpFoundName(const WCHAR* folder, const WIN32_FIND_DATAW& found, WCHAR* shown, int size) {
  bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return ShownName(folder, found.cFileName, isFolder, TakesOwnName(found.dwFileAttributes), shown,
                   size);
}

void ForgetShownNames(void) {
  DWORD slot = namesSlot;
  if (slot == TLS_OUT_OF_INDEXES) return;
  FolderNames* names = static_cast<FolderNames*>(TlsGetValue(slot));
  if (names == NULL) return;
  Free(names->folder);
  Free(names->text);
  Free(names);
  TlsSetValue(slot, NULL);
}
