#include "find_box.h"

#include "program_state.h"

static const WCHAR kFindClass[] = L"PivotrixFind";

// One showing of the box.
struct FindBox {
  HWND focusBack;
};

static void CloseFindBox(HWND hwnd, bool giveFocusBack) {
  FindBox* box = reinterpret_cast<FindBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  HWND focusBack = box != NULL ? box->focusBack : NULL;
  DestroyWindow(hwnd);
  if (giveFocusBack && focusBack != NULL) SetForegroundWindow(focusBack);
}

static void OnDestroy(HWND hwnd) {
  FindBox* box = reinterpret_cast<FindBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (Program.hwndFind == hwnd) Program.hwndFind = NULL;
  if (box != NULL) HeapFree(GetProcessHeap(), 0, box);
}

static LRESULT CALLBACK FindBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) CloseFindBox(hwnd, true);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) CloseFindBox(hwnd, false);
      return 0;
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

static bool RegisterFindClass(void) {
  WNDCLASSW wc = {};
  if (GetClassInfoW(Program.hInstance, kFindClass, &wc)) return true;
  wc.lpfnWndProc = FindBoxProc;
  wc.hInstance = Program.hInstance;
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kFindClass;
  return RegisterClassW(&wc) != 0;
}

void ShowFindBox(POINT anchor, HWND focusBack) {
  if (Program.hwndFind != NULL) DestroyWindow(Program.hwndFind);
  if (!RegisterFindClass()) return;
  FindBox* box = static_cast<FindBox*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FindBox)));
  if (box == NULL) return;
  box->focusBack = focusBack;
  int width = 320;
  int height = 240;
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kFindClass, L"Find",
                              WS_POPUP | WS_BORDER, anchor.x, anchor.y - height, width, height,
                              Program.hwndMain, NULL, Program.hInstance, NULL);
  if (hwnd == NULL) {
    HeapFree(GetProcessHeap(), 0, box);
    return;
  }
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
  Program.hwndFind = hwnd;
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
}
