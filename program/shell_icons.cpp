#include "shell_icons.h"

#include <commctrl.h>
#include <shellapi.h>

enum { ICONS_DPI = 96 };  // the DPI at which the small icons are SM_CXSMICON wide

int ShellIconIndex(const WCHAR* path) {
  SHFILEINFOW info = {};
  if (SHGetFileInfoW(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON) == 0) {
    return -1;
  }
  return info.iIcon;
}

int ShellIconIndexOf(LPCITEMIDLIST item) {
  SHFILEINFOW info = {};
  if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON) == 0) {
    return -1;
  }
  return info.iIcon;
}

// GetSystemMetrics gives the size for the system's DPI; a monitor of another scale gets it
// scaled, as the system scales the icons of a program that is aware of each monitor's DPI.
int SmallIconSizeFor(UINT dpi) {
  HDC screen = GetDC(NULL);
  int systemDpi = screen != NULL ? GetDeviceCaps(screen, LOGPIXELSX) : ICONS_DPI;
  if (screen != NULL) ReleaseDC(NULL, screen);
  if (systemDpi <= 0 || dpi == 0) return GetSystemMetrics(SM_CXSMICON);
  return MulDiv(GetSystemMetrics(SM_CXSMICON), static_cast<int>(dpi), systemDpi);
}

// The system image lists, small and large: the same index stands for the same icon in both.
// Each is one list for the process's life, asked for once; two threads asking at once get
// the same handle.
static HIMAGELIST SystemImageList(bool small) {
  static HIMAGELIST lists[2];
  HIMAGELIST& list = lists[small ? 0 : 1];
  if (list != NULL) return list;
  SHFILEINFOW info = {};
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (small ? SHGFI_SMALLICON : 0);
  list = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags));
  return list;
}

// Drawn from the list whose icons are the size asked for; any other size from the smallest
// list that is at least as large, scaled down, through an icon made for the drawing and
// destroyed at once.
void DrawShellIcon(HDC dc, int index, int x, int y, int size) {
  if (index < 0) return;
  HIMAGELIST list = SystemImageList(true);
  int width = 0;
  int height = 0;
  if (list == NULL || !ImageList_GetIconSize(list, &width, &height)) return;
  if (width == size) {
    ImageList_Draw(list, index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  if (width < size) {
    HIMAGELIST large = SystemImageList(false);
    if (large != NULL) list = large;
  }
  HICON icon = ImageList_GetIcon(list, index, ILD_TRANSPARENT);
  if (icon == NULL) return;
  DrawIconEx(dc, x, y, icon, size, size, 0, NULL, DI_NORMAL);
  DestroyIcon(icon);
}
