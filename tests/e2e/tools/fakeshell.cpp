// fakeshell.exe - imitation of a classic taskbar for the end-to-end tests.
//
// Creates:
//   * a top-level "Shell_TrayWnd" window (WS_POPUP|WS_VISIBLE|WS_CLIPCHILDREN,
//     WS_EX_TOPMOST|WS_EX_TOOLWINDOW) at (0, screenHeight-30, screenWidth, 30);
//   * a "Button" child "Start" at client (2,2), 54x24. On WM_LBUTTONDOWN it
//     returns at once after posting itself a private message; on that message
//     it reads its current window rectangle and tracks a popup menu with
//     TPM_LEFTALIGN|TPM_BOTTOMALIGN at (rect.left, rect.top);
//   * a "MSTaskSwWClass" child at client (60,2), (screenWidth-70)x26 whose
//     first child is a "SysTabControl32" with tabs "Task one", "Task two".
//
// Options:
//   --no-tabs       the task switch window's only child is a "Static"
//   --tabs-second   its first child is a "Static", the tab control follows
//   --menu-in-press the Start button tracks its menu inside its WM_LBUTTONDOWN
//                   handler, so that a program that sent it the press waits
//                   until the menu closes
//   --log FILE      append log lines to FILE (LF line ends; every line is
//                   also written to stdout, where it ends in CR LF)
//
// Log lines ("<ms> EVENT args", ms since start):
//   READY tray=0x%08X start=0x%08X tasksw=0x%08X tabs=0x%08X
//   START LBUTTONDOWN x y
//   STARTMENU_OPEN left top          (anchor = button rect left/top)
//   STARTMENU_BUSY                   (request while the menu is open)
//   STARTMENU_CLOSED cmd             (chosen id, 0 when dismissed)
//   TABS RBUTTONDOWN x y / TABS RBUTTONUP x y   (client coordinates)
//   CLOSE / DESTROY
// Runs until the tray window gets WM_CLOSE; exits with code 0.

#include <windows.h>
#include <commctrl.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kTrayClass[] = "Shell_TrayWnd";
const char kTaskSwClass[] = "MSTaskSwWClass";
const UINT kOpenStartMenu = WM_APP + 1;
const int kTrayHeight = 30;
const int kStartId = 0x130;
const int kTaskSwId = 0x131;
const int kTabsId = 0x132;
const int kStaticId = 0x133;

enum TabsMode { kTabsFirst, kNoTabs, kTabsSecond };

DWORD g_start_ticks = 0;
FILE* g_log = NULL;
HWND g_tray = NULL;
HWND g_start = NULL;
HWND g_tasksw = NULL;
HWND g_tabs = NULL;
WNDPROC g_start_orig = NULL;
WNDPROC g_tabs_orig = NULL;
bool g_menu_open = false;
bool g_menu_in_press = false;

void FormatHandle(char* buf, size_t size, HWND hwnd) {
    unsigned long long v = (unsigned long long)(ULONG_PTR)hwnd;
    snprintf(buf, size, "0x%08llX", v);
}

void Log(const char* fmt, ...) {
    char line[512];
    int n = snprintf(line, sizeof line, "%lu ",
                     (unsigned long)(GetTickCount() - g_start_ticks));
    if (n < 0 || n >= (int)sizeof line) n = 0;
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line + n, sizeof line - (size_t)n, fmt, ap);
    va_end(ap);
    printf("%s\n", line);
    fflush(stdout);
    if (g_log != NULL) {
        fprintf(g_log, "%s\n", line);
        fflush(g_log);
    }
}

int LX(LPARAM lp) { return (int)(short)LOWORD(lp); }
int LY(LPARAM lp) { return (int)(short)HIWORD(lp); }

void ShowStartMenu(HWND button) {
    if (g_menu_open) {
        Log("STARTMENU_BUSY");
        return;
    }
    RECT r;
    SetRectEmpty(&r);
    GetWindowRect(button, &r);

    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Programs");
    AppendMenuA(menu, MF_STRING, 2, "Documents");
    AppendMenuA(menu, MF_STRING, 3, "Settings");
    AppendMenuA(menu, MF_STRING, 4, "Run...");
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(menu, MF_STRING, 5, "Shut Down...");

    Log("STARTMENU_OPEN %ld %ld", (long)r.left, (long)r.top);
    g_menu_open = true;
    SetForegroundWindow(g_tray);
    int cmd = (int)TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, r.left, r.top,
        0, g_tray, NULL);
    // Usual follow-up so that the next click works as expected.
    PostMessageA(g_tray, WM_NULL, 0, 0);
    g_menu_open = false;
    DestroyMenu(menu);
    Log("STARTMENU_CLOSED %d", cmd);
}

LRESULT CALLBACK StartProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            Log("START LBUTTONDOWN %d %d", LX(lp), LY(lp));
            if (g_menu_in_press) {
                ShowStartMenu(hwnd);
            } else {
                PostMessageA(hwnd, kOpenStartMenu, 0, 0);
            }
            return 0;
        case kOpenStartMenu:
            ShowStartMenu(hwnd);
            return 0;
        default:
            break;
    }
    return CallWindowProcA(g_start_orig, hwnd, msg, wp, lp);
}

LRESULT CALLBACK TabsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_RBUTTONDOWN:
            Log("TABS RBUTTONDOWN %d %d", LX(lp), LY(lp));
            break;
        case WM_RBUTTONUP:
            Log("TABS RBUTTONUP %d %d", LX(lp), LY(lp));
            break;
        default:
            break;
    }
    return CallWindowProcA(g_tabs_orig, hwnd, msg, wp, lp);
}

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            Log("CLOSE");
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            Log("DESTROY");
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TaskSwProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool RegisterClasses(HINSTANCE inst) {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = TrayProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = kTrayClass;
    if (!RegisterClassA(&wc)) return false;

    wc.lpfnWndProc = TaskSwProc;
    wc.lpszClassName = kTaskSwClass;
    return RegisterClassA(&wc) != 0;
}

HWND CreateTabs(HINSTANCE inst, int x, int w, int h) {
    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, 0,
                                w, h, g_tasksw, (HMENU)(INT_PTR)kTabsId, inst,
                                NULL);
    if (tabs == NULL) return NULL;
    SendMessageA(tabs, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT),
                 FALSE);
    const char* names[2] = {"Task one", "Task two"};
    for (int i = 0; i < 2; ++i) {
        TCITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = TCIF_TEXT;
        item.pszText = (LPSTR)names[i];
        SendMessageA(tabs, TCM_INSERTITEMA, (WPARAM)i, (LPARAM)&item);
    }
    g_tabs_orig = (WNDPROC)SetWindowLongPtrA(tabs, GWLP_WNDPROC,
                                             (LONG_PTR)TabsProc);
    return tabs;
}

HWND CreateStatic(HINSTANCE inst, int w, int h) {
    return CreateWindowExA(0, "Static", "Static",
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, w, h,
                           g_tasksw, (HMENU)(INT_PTR)kStaticId, inst, NULL);
}

// Makes CHILD the first window returned by GetWindow(parent, GW_CHILD).
void MakeFirstChild(HWND child) {
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int UsageError(const char* what) {
    fprintf(stderr,
            "fakeshell: %s\nusage: fakeshell [--no-tabs | --tabs-second] "
            "[--menu-in-press] [--log FILE]\n",
            what);
    fflush(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    g_start_ticks = GetTickCount();
    TabsMode mode = kTabsFirst;
    const char* log_path = NULL;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--no-tabs") == 0) {
            mode = kNoTabs;
        } else if (strcmp(argv[i], "--tabs-second") == 0) {
            mode = kTabsSecond;
        } else if (strcmp(argv[i], "--menu-in-press") == 0) {
            g_menu_in_press = true;
        } else if (strcmp(argv[i], "--log") == 0 && i + 1 < argc) {
            log_path = argv[++i];
        } else {
            return UsageError("bad argument");
        }
    }
    if (log_path != NULL) {
        g_log = fopen(log_path, "ab");
        if (g_log == NULL) return UsageError("cannot open log file");
    }

    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_TAB_CLASSES;
    InitCommonControlsEx(&icc);

    HINSTANCE inst = GetModuleHandleA(NULL);
    if (!RegisterClasses(inst)) {
        Log("ERROR RegisterClass %lu", (unsigned long)GetLastError());
        return 3;
    }

    int sw = GetSystemMetrics(SM_CXSCREEN);
    int sh = GetSystemMetrics(SM_CYSCREEN);
    g_tray = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, "",
                             WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                             sh - kTrayHeight, sw, kTrayHeight, NULL, NULL,
                             inst, NULL);
    if (g_tray == NULL) {
        Log("ERROR CreateWindow tray %lu", (unsigned long)GetLastError());
        return 3;
    }

    g_start = CreateWindowExA(0, "Button", "Start",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS |
                                  BS_PUSHBUTTON,
                              2, 2, 54, 24, g_tray, (HMENU)(INT_PTR)kStartId,
                              inst, NULL);
    if (g_start == NULL) {
        Log("ERROR CreateWindow start %lu", (unsigned long)GetLastError());
        return 3;
    }
    SendMessageA(g_start, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT),
                 FALSE);
    g_start_orig = (WNDPROC)SetWindowLongPtrA(g_start, GWLP_WNDPROC,
                                              (LONG_PTR)StartProc);

    int tw = sw - 70;
    int th = 26;
    g_tasksw = CreateWindowExA(0, kTaskSwClass, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                                   WS_CLIPSIBLINGS,
                               60, 2, tw, th, g_tray,
                               (HMENU)(INT_PTR)kTaskSwId, inst, NULL);
    if (g_tasksw == NULL) {
        Log("ERROR CreateWindow tasksw %lu", (unsigned long)GetLastError());
        return 3;
    }

    if (mode == kTabsFirst) {
        g_tabs = CreateTabs(inst, 0, tw, th);
        if (g_tabs != NULL) MakeFirstChild(g_tabs);
    } else if (mode == kNoTabs) {
        HWND st = CreateStatic(inst, tw, th);
        if (st != NULL) MakeFirstChild(st);
    } else {
        HWND st = CreateStatic(inst, 56, th);
        g_tabs = CreateTabs(inst, 60, tw - 60, th);
        if (st != NULL) MakeFirstChild(st);
    }
    if (mode != kNoTabs && g_tabs == NULL) {
        Log("ERROR CreateWindow tabs %lu", (unsigned long)GetLastError());
        return 3;
    }

    ShowWindow(g_tray, SW_SHOWNOACTIVATE);
    UpdateWindow(g_tray);

    char a[32], b[32], c[32], d[32];
    FormatHandle(a, sizeof a, g_tray);
    FormatHandle(b, sizeof b, g_start);
    FormatHandle(c, sizeof c, g_tasksw);
    FormatHandle(d, sizeof d, g_tabs);
    Log("READY tray=%s start=%s tasksw=%s tabs=%s", a, b, c, d);

    MSG msg;
    int rc = 0;
    for (;;) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            rc = (int)msg.wParam;
            break;
        }
        if (got == -1) {
            rc = 3;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_log != NULL) fclose(g_log);
    return rc;
}
