// The apps of the shell's Applications folder (FOLDERID_AppsFolder, "shell:AppsFolder",
// Windows 8 and later): the Start Menu folders' shortcuts and, beside them, the packaged
// apps, which have no shortcut in either Start Menu folder.
#ifndef PIVOTRIX_PROGRAM_APPS_FOLDER_H
#define PIVOTRIX_PROGRAM_APPS_FOLDER_H

#include <windows.h>

// One packaged app. `start` is the name that OpenStartEntry opens it by,
// "shell:AppsFolder\<app ID>"; `id` points at the ID in it.
struct ShellApp {
  const WCHAR* name;
  const WCHAR* start;
  const WCHAR* id;
  int icon;  // the system image list's index, or -1
};

// Called for each app; false stops the enumeration.
typedef bool (*AppVisitor)(const ShellApp& app, void* context);

// Visits the Applications folder's packaged apps, skipping those that the Start Menu
// folders' shortcuts stand for. The calling thread must have COM. Returns how many apps
// were visited, or -1 where the folder can't be read (Windows 7 and older; Wine).
int EnumerateApps(AppVisitor visit, void* context);

#endif
