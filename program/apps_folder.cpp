#include "apps_folder.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "shell_icons.h"
#include "start_names_rules.h"

// Looked up rather than imported: shell32 has SHGetKnownFolderItem from Windows 7 on and
// SHGetIDListFromObject from Vista on, and the program must still load on older systems.
static decltype(&SHGetKnownFolderItem) FindKnownFolderItem(HMODULE shell) {
  FARPROC found = GetProcAddress(shell, "SHGetKnownFolderItem");
  return reinterpret_cast<decltype(&SHGetKnownFolderItem)>(reinterpret_cast<void*>(found));
}

static decltype(&SHGetIDListFromObject) FindIdListFromObject(HMODULE shell) {
  FARPROC found = GetProcAddress(shell, "SHGetIDListFromObject");
  return reinterpret_cast<decltype(&SHGetIDListFromObject)>(reinterpret_cast<void*>(found));
}

static const WCHAR kAppsFolder[] = L"shell:AppsFolder\\";

// FOLDERID_AppsFolder and BHID_EnumItems, written out: the import library that holds them
// holds some two thousand more in the same object, which would all come along.
static const GUID kAppsFolderId = {0x1e87508d, 0x89c2, 0x42f0,
                                   {0x8a, 0x7e, 0x64, 0x5a, 0x0f, 0x50, 0xca, 0x58}};
static const GUID kEnumItems = {0x94f60519, 0x2850, 0x4924,
                                {0xaa, 0x5a, 0xd1, 0x5e, 0x84, 0x86, 0x80, 0x39}};

// The app's ID is the name its folder parses; the packaged apps' IDs have a form of their
// own, "<package family>!<app>", and every other item is a Start Menu folder's shortcut.
static bool VisitApp(IShellItem* item, decltype(&SHGetIDListFromObject) idList,
                     AppVisitor visit, void* context, int* visited) {
  PWSTR id = NULL;
  PWSTR name = NULL;
  bool more = true;
  if (SUCCEEDED(item->GetDisplayName(SIGDN_PARENTRELATIVEPARSING, &id)) &&
      SUCCEEDED(item->GetDisplayName(SIGDN_NORMALDISPLAY, &name))) {
    int length = lstrlenW(id);
    char16_t* units = static_cast<char16_t*>(CoTaskMemAlloc((length + 1) * sizeof(char16_t)));
    WCHAR* start = static_cast<WCHAR*>(
        CoTaskMemAlloc((lstrlenW(kAppsFolder) + length + 1) * sizeof(WCHAR)));
    for (int i = 0; units != NULL && i <= length; ++i) units[i] = id[i];
    if (units != NULL && start != NULL && IsPackagedAppId(units)) {
      lstrcpyW(start, kAppsFolder);
      lstrcatW(start, id);
      ShellApp app = {name, start, start + lstrlenW(kAppsFolder), -1};
      PIDLIST_ABSOLUTE absolute = NULL;
      if (SUCCEEDED(idList(item, &absolute))) {
        app.icon = ShellIconIndexOf(absolute);
        CoTaskMemFree(absolute);
      }
      ++*visited;
      more = visit(app, context);
    }
    CoTaskMemFree(units);
    CoTaskMemFree(start);
  }
  CoTaskMemFree(id);
  CoTaskMemFree(name);
  return more;
}

int EnumerateApps(AppVisitor visit, void* context) {
  HMODULE shell = GetModuleHandleA("shell32.dll");
  decltype(&SHGetKnownFolderItem) knownFolderItem = shell != NULL ? FindKnownFolderItem(shell) : NULL;
  decltype(&SHGetIDListFromObject) idList = shell != NULL ? FindIdListFromObject(shell) : NULL;
  if (knownFolderItem == NULL || idList == NULL) return -1;
  IShellItem* folder = NULL;
  if (FAILED(knownFolderItem(kAppsFolderId, KF_FLAG_DEFAULT, NULL, __uuidof(IShellItem),
                             reinterpret_cast<void**>(&folder)))) {
    return -1;
  }
  IEnumShellItems* items = NULL;
  HRESULT bound = folder->BindToHandler(NULL, kEnumItems, __uuidof(IEnumShellItems),
                                        reinterpret_cast<void**>(&items));
  folder->Release();
  if (FAILED(bound)) return -1;
  int visited = 0;
  IShellItem* item = NULL;
  while (items->Next(1, &item, NULL) == S_OK) {
    bool more = VisitApp(item, idList, visit, context, &visited);
    item->Release();
    if (!more) break;
  }
  items->Release();
  return visited;
}
