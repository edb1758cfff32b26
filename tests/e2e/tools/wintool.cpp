// wintool.exe - console helper for the end-to-end tests.
//
// Inspects and drives windows of other processes. One command per
// invocation; results go to stdout, one line per result, fields separated by
// single spaces. Window handles are printed as 0x%08X of the full handle value
// (more digits only if the value does not fit in 32 bits).
//
// Exit codes: 0 success, 1 not found / failed / timed out, 2 usage error.
//
// Commands:
//   find CLASS [TITLE]            first top-level window (EnumWindows order)
//                                 with class CLASS (case-insensitive, "-" = any)
//                                 and exactly TITLE (when given) -> handle
//   findwindow CLASS [TITLE]      FindWindowA(CLASS, TITLE) -> handle
//                                 (what a program calling FindWindow sees)
//   findchild PARENT CLASS        first direct child of PARENT with CLASS
//   info HWND                     hwnd class style exstyle iconic zoomed visible
//                                 left top right bottom   (screen coordinates)
//   title HWND                    window text
//   menus                         one line per visible top-level "#32768":
//                                 hwnd left top right bottom
//   waitmenu TIMEOUT_MS           wait for a visible "#32768":
//                                 hwnd left top right bottom elapsed_ms
//   waitnomenu TIMEOUT_MS         wait until no visible "#32768": elapsed_ms
//   post HWND MSG WPARAM LPARAM [MSG WPARAM LPARAM ...]
//                                 PostMessage, each in turn
//   send HWND MSG WPARAM LPARAM   SendMessageTimeout (5 s), prints the result
//   children HWND                 one line per direct child:
//                                 hwnd class left top right bottom
//                                 (relative to HWND's client area)
//   foreground                    GetForegroundWindow() handle
//   cursor                        x y
//   screen                        width height
//   waitwindow CLASS TITLE TIMEOUT_MS
//                                 wait for a visible top-level window, then
//                                 print it like "info"
//   click-button HWND ID          BM_CLICK to GetDlgItem(HWND, ID)
//   sysmenu-state HWND ID         flags text of a system menu item
//   move HWND X Y W H             MoveWindow(HWND, X, Y, W, H, FALSE)
//   owner HWND                    GetWindow(HWND, GW_OWNER) -> handle
//                                 (0x00000000 when it has no owner)
//   enabled HWND                  1 when IsWindowEnabled(HWND), else 0
//   itemrect HWND ID              screen rectangle of GetDlgItem(HWND, ID):
//                                 left top right bottom
//   hook DLL [clear]              loads the hook library DLL (a path) and prints
//                                 its shared block as the other processes that
//                                 map it see it (hookprobe's STATE fields);
//                                 with "clear" it first clears the taskbar
//                                 handles in it (SignalHookHandles(0, 0, 0))
//
// Numbers are decimal or 0x-prefixed hex (a leading '-' is allowed);
// HWND arguments are always hex, with or without the 0x prefix.

#include <windows.h>

#include <stdio.h>
#include "hook_block.h"

#include <stdlib.h>
#include <string.h>

namespace {

const int kExitOk = 0;
const int kExitNotFound = 1;
const int kExitUsage = 2;

const char kMenuClass[] = "#32768";

void FormatHandle(char* buf, size_t size, HWND hwnd) {
    unsigned long long v = (unsigned long long)(ULONG_PTR)hwnd;
    snprintf(buf, size, "0x%08llX", v);
}

void PrintHandleLine(HWND hwnd) {
    char h[32];
    FormatHandle(h, sizeof h, hwnd);
    printf("%s\n", h);
}

int Usage() {
    fprintf(stderr,
            "usage: wintool COMMAND ARGS...\n"
            "  find CLASS [TITLE] | findwindow CLASS [TITLE] |\n"
            "  findchild PARENT CLASS | info HWND |\n"
            "  title HWND | menus | waitmenu MS | waitnomenu MS |\n"
            "  post HWND MSG WP LP | send HWND MSG WP LP | children HWND |\n"
            "  foreground | cursor | screen | waitwindow CLASS TITLE MS |\n"
            "  click-button HWND ID | sysmenu-state HWND ID |\n"
            "  move HWND X Y W H | owner HWND | enabled HWND |\n"
            "  itemrect HWND ID\n");
    return kExitUsage;
}

// Parses a decimal or 0x-hex number with optional leading '-'.
bool ParseNumber(const char* s, long long* out) {
    if (s == NULL || *s == '\0') return false;
    bool neg = false;
    if (*s == '-') {
        neg = true;
        ++s;
    }
    int base = 10;
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s += 2;
    }
    if (*s == '\0') return false;
    char* end = NULL;
    unsigned long long v = strtoull(s, &end, base);
    if (end == NULL || *end != '\0') return false;
    *out = neg ? -(long long)v : (long long)v;
    return true;
}

// Parses a window handle: hex with or without the 0x prefix.
bool ParseHandle(const char* s, HWND* out) {
    if (s == NULL || *s == '\0') return false;
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s += 2;
    if (*s == '\0') return false;
    char* end = NULL;
    unsigned long long v = strtoull(s, &end, 16);
    if (end == NULL || *end != '\0') return false;
    *out = (HWND)(ULONG_PTR)v;
    return true;
}

bool ParseInt(const char* s, int* out) {
    long long v = 0;
    if (!ParseNumber(s, &v)) return false;
    *out = (int)v;
    return true;
}

bool ClassMatches(HWND hwnd, const char* cls) {
    if (cls == NULL || strcmp(cls, "-") == 0) return true;
    char buf[256];
    if (GetClassNameA(hwnd, buf, (int)sizeof buf) == 0) return false;
    return lstrcmpiA(buf, cls) == 0;
}

// The stored caption, read without sending WM_GETTEXT: a window whose thread is busy (or
// starting up) would otherwise block the caller.
void ReadTitle(HWND hwnd, char* buf, int size) {
    WCHAR wide[1024];
    int length = InternalGetWindowText(hwnd, wide, 1024);
    if (length <= 0) {
        buf[0] = '\0';
        return;
    }
    int written = WideCharToMultiByte(CP_ACP, 0, wide, length, buf, size - 1, NULL, NULL);
    buf[written > 0 ? written : 0] = '\0';
}

bool TitleMatches(HWND hwnd, const char* title) {
    if (title == NULL) return true;
    char buf[1024];
    buf[0] = '\0';
    ReadTitle(hwnd, buf, (int)sizeof buf);
    return strcmp(buf, title) == 0;
}

struct FindData {
    const char* cls;
    const char* title;
    bool need_visible;
    HWND result;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
    FindData* d = (FindData*)lp;
    if (d->need_visible && !IsWindowVisible(hwnd)) return TRUE;
    if (!ClassMatches(hwnd, d->cls)) return TRUE;
    if (!TitleMatches(hwnd, d->title)) return TRUE;
    d->result = hwnd;
    return FALSE;
}

HWND FindTopLevel(const char* cls, const char* title, bool need_visible) {
    FindData d;
    d.cls = cls;
    d.title = title;
    d.need_visible = need_visible;
    d.result = NULL;
    EnumWindows(FindProc, (LPARAM)&d);
    return d.result;
}

// Collects visible top-level menu windows.
struct MenuList {
    HWND items[64];
    int count;
};

BOOL CALLBACK MenuProc(HWND hwnd, LPARAM lp) {
    MenuList* m = (MenuList*)lp;
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (!ClassMatches(hwnd, kMenuClass)) return TRUE;
    if (m->count < (int)(sizeof m->items / sizeof m->items[0])) {
        m->items[m->count++] = hwnd;
    }
    return TRUE;
}

void CollectMenus(MenuList* m) {
    m->count = 0;
    EnumWindows(MenuProc, (LPARAM)m);
}

void PrintRectLine(HWND hwnd, const char* suffix) {
    RECT r;
    SetRectEmpty(&r);
    GetWindowRect(hwnd, &r);
    char h[32];
    FormatHandle(h, sizeof h, hwnd);
    printf("%s %ld %ld %ld %ld%s\n", h, (long)r.left, (long)r.top,
           (long)r.right, (long)r.bottom, suffix ? suffix : "");
}

void PrintInfo(HWND hwnd) {
    char cls[256];
    cls[0] = '\0';
    GetClassNameA(hwnd, cls, (int)sizeof cls);
    DWORD style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    DWORD exstyle = (DWORD)GetWindowLongA(hwnd, GWL_EXSTYLE);
    RECT r;
    SetRectEmpty(&r);
    GetWindowRect(hwnd, &r);
    char h[32];
    FormatHandle(h, sizeof h, hwnd);
    printf("%s %s 0x%08lX 0x%08lX %d %d %d %ld %ld %ld %ld\n", h, cls,
           (unsigned long)style, (unsigned long)exstyle,
           IsIconic(hwnd) ? 1 : 0, IsZoomed(hwnd) ? 1 : 0,
           IsWindowVisible(hwnd) ? 1 : 0, (long)r.left, (long)r.top,
           (long)r.right, (long)r.bottom);
}

int CmdFind(int argc, char** argv) {
    if (argc != 1 && argc != 2) return Usage();
    HWND h = FindTopLevel(argv[0], argc == 2 ? argv[1] : NULL, false);
    if (h == NULL) return kExitNotFound;
    PrintHandleLine(h);
    return kExitOk;
}

int CmdFindWindow(int argc, char** argv) {
    if (argc != 1 && argc != 2) return Usage();
    HWND h = FindWindowA(argv[0], argc == 2 ? argv[1] : NULL);
    if (h == NULL) return kExitNotFound;
    PrintHandleLine(h);
    return kExitOk;
}

int CmdFindChild(int argc, char** argv) {
    if (argc != 2) return Usage();
    HWND parent;
    if (!ParseHandle(argv[0], &parent)) return Usage();
    if (!IsWindow(parent)) return kExitNotFound;
    for (HWND c = GetWindow(parent, GW_CHILD); c != NULL;
         c = GetWindow(c, GW_HWNDNEXT)) {
        if (ClassMatches(c, argv[1])) {
            PrintHandleLine(c);
            return kExitOk;
        }
    }
    return kExitNotFound;
}

int CmdInfo(int argc, char** argv) {
    if (argc != 1) return Usage();
    HWND h;
    if (!ParseHandle(argv[0], &h)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    PrintInfo(h);
    return kExitOk;
}

int CmdTitle(int argc, char** argv) {
    if (argc != 1) return Usage();
    HWND h;
    if (!ParseHandle(argv[0], &h)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    char buf[4096];
    buf[0] = '\0';
    ReadTitle(h, buf, (int)sizeof buf);
    printf("%s\n", buf);
    return kExitOk;
}

int CmdMenus(int argc, char**) {
    if (argc != 0) return Usage();
    MenuList m;
    CollectMenus(&m);
    for (int i = 0; i < m.count; ++i) PrintRectLine(m.items[i], NULL);
    return m.count > 0 ? kExitOk : kExitNotFound;
}

int CmdWaitMenu(int argc, char** argv, bool want_menu) {
    if (argc != 1) return Usage();
    int timeout = 0;
    if (!ParseInt(argv[0], &timeout) || timeout < 0) return Usage();
    DWORD start = GetTickCount();
    for (;;) {
        MenuList m;
        CollectMenus(&m);
        DWORD elapsed = GetTickCount() - start;
        if (want_menu && m.count > 0) {
            char suffix[32];
            snprintf(suffix, sizeof suffix, " %lu", (unsigned long)elapsed);
            PrintRectLine(m.items[0], suffix);
            return kExitOk;
        }
        if (!want_menu && m.count == 0) {
            printf("%lu\n", (unsigned long)elapsed);
            return kExitOk;
        }
        if (elapsed >= (DWORD)timeout) return kExitNotFound;
        Sleep(10);
    }
}

int CmdPostSend(int argc, char** argv, bool send) {
    if (argc < 4 || (argc - 1) % 3 != 0 || (send && argc != 4)) return Usage();
    HWND h;
    long long msg, wp, lp;
    if (!ParseHandle(argv[0], &h)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    if (!send) {
        // Several messages are posted back to back, within one time slice.
        for (int i = 1; i < argc; i += 3) {
            if (!ParseNumber(argv[i], &msg) || !ParseNumber(argv[i + 1], &wp) ||
                !ParseNumber(argv[i + 2], &lp)) {
                return Usage();
            }
            if (!PostMessageA(h, (UINT)msg, (WPARAM)wp, (LPARAM)lp)) {
                fprintf(stderr, "PostMessage failed: %lu\n",
                        (unsigned long)GetLastError());
                return kExitNotFound;
            }
        }
        return kExitOk;
    }
    if (!ParseNumber(argv[1], &msg) || !ParseNumber(argv[2], &wp) ||
        !ParseNumber(argv[3], &lp)) {
        return Usage();
    }
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutA(h, (UINT)msg, (WPARAM)wp, (LPARAM)lp,
                                     SMTO_NORMAL, 5000, &result);
    if (ok == 0) {
        fprintf(stderr, "SendMessageTimeout failed: %lu\n",
                (unsigned long)GetLastError());
        return kExitNotFound;
    }
    printf("%lld\n", (long long)(LONG_PTR)result);
    return kExitOk;
}

int CmdChildren(int argc, char** argv) {
    if (argc != 1) return Usage();
    HWND parent;
    if (!ParseHandle(argv[0], &parent)) return Usage();
    if (!IsWindow(parent)) return kExitNotFound;
    for (HWND c = GetWindow(parent, GW_CHILD); c != NULL;
         c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[256];
        cls[0] = '\0';
        GetClassNameA(c, cls, (int)sizeof cls);
        RECT r;
        SetRectEmpty(&r);
        GetWindowRect(c, &r);
        MapWindowPoints(NULL, parent, (POINT*)&r, 2);
        char h[32];
        FormatHandle(h, sizeof h, c);
        printf("%s %s %ld %ld %ld %ld\n", h, cls, (long)r.left, (long)r.top,
               (long)r.right, (long)r.bottom);
    }
    return kExitOk;
}

int CmdForeground(int argc, char**) {
    if (argc != 0) return Usage();
    PrintHandleLine(GetForegroundWindow());
    return kExitOk;
}

int CmdCursor(int argc, char**) {
    if (argc != 0) return Usage();
    POINT p;
    if (!GetCursorPos(&p)) return kExitNotFound;
    printf("%ld %ld\n", (long)p.x, (long)p.y);
    return kExitOk;
}

int CmdScreen(int argc, char**) {
    if (argc != 0) return Usage();
    printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN),
           GetSystemMetrics(SM_CYSCREEN));
    return kExitOk;
}

int CmdWaitWindow(int argc, char** argv) {
    if (argc != 3) return Usage();
    int timeout = 0;
    if (!ParseInt(argv[2], &timeout) || timeout < 0) return Usage();
    DWORD start = GetTickCount();
    for (;;) {
        HWND h = FindTopLevel(argv[0], argv[1], true);
        if (h != NULL) {
            PrintInfo(h);
            return kExitOk;
        }
        if (GetTickCount() - start >= (DWORD)timeout) return kExitNotFound;
        Sleep(10);
    }
}

int CmdClickButton(int argc, char** argv) {
    if (argc != 2) return Usage();
    HWND h;
    int id = 0;
    if (!ParseHandle(argv[0], &h) || !ParseInt(argv[1], &id)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    HWND item = GetDlgItem(h, id);
    if (item == NULL) return kExitNotFound;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(item, BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                             &result)) {
        fprintf(stderr, "SendMessageTimeout failed: %lu\n",
                (unsigned long)GetLastError());
        return kExitNotFound;
    }
    return kExitOk;
}

int CmdSysMenuState(int argc, char** argv) {
    if (argc != 2) return Usage();
    HWND h;
    int id = 0;
    if (!ParseHandle(argv[0], &h) || !ParseInt(argv[1], &id)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    HMENU menu = GetSystemMenu(h, FALSE);
    if (menu == NULL) {
        fprintf(stderr, "GetSystemMenu returned NULL (error %lu)\n",
                (unsigned long)GetLastError());
        printf("-1\n");
        return kExitNotFound;
    }
    UINT flags = GetMenuState(menu, (UINT)id, MF_BYCOMMAND);
    char text[256];
    text[0] = '\0';
    GetMenuStringA(menu, (UINT)id, text, (int)sizeof text, MF_BYCOMMAND);
    if (flags == (UINT)-1) {
        fprintf(stderr, "GetMenuState failed (error %lu)\n",
                (unsigned long)GetLastError());
        printf("-1 %s\n", text);
        return kExitNotFound;
    }
    printf("%u %s\n", flags, text);
    return kExitOk;
}

int CmdMove(int argc, char** argv) {
    if (argc != 5) return Usage();
    HWND h;
    int x, y, w, hh;
    if (!ParseHandle(argv[0], &h) || !ParseInt(argv[1], &x) ||
        !ParseInt(argv[2], &y) || !ParseInt(argv[3], &w) ||
        !ParseInt(argv[4], &hh)) {
        return Usage();
    }
    if (!IsWindow(h)) return kExitNotFound;
    if (!MoveWindow(h, x, y, w, hh, FALSE)) {
        fprintf(stderr, "MoveWindow failed: %lu\n",
                (unsigned long)GetLastError());
        return kExitNotFound;
    }
    return kExitOk;
}

int CmdOwner(int argc, char** argv) {
    if (argc != 1) return Usage();
    HWND h;
    if (!ParseHandle(argv[0], &h)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    PrintHandleLine(GetWindow(h, GW_OWNER));
    return kExitOk;
}

int CmdEnabled(int argc, char** argv) {
    if (argc != 1) return Usage();
    HWND h;
    if (!ParseHandle(argv[0], &h)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    printf("%d\n", IsWindowEnabled(h) ? 1 : 0);
    return kExitOk;
}

int CmdItemRect(int argc, char** argv) {
    if (argc != 2) return Usage();
    HWND h;
    int id = 0;
    if (!ParseHandle(argv[0], &h) || !ParseInt(argv[1], &id)) return Usage();
    if (!IsWindow(h)) return kExitNotFound;
    HWND item = GetDlgItem(h, id);
    if (item == NULL) return kExitNotFound;
    RECT r;
    SetRectEmpty(&r);
    GetWindowRect(item, &r);
    printf("%ld %ld %ld %ld\n", (long)r.left, (long)r.top, (long)r.right,
           (long)r.bottom);
    return kExitOk;
}

int CmdHook(int argc, char** argv) {
    if (argc != 1 && !(argc == 2 && strcmp(argv[1], "clear") == 0)) return Usage();
    HMODULE dll = LoadLibraryA(argv[0]);
    const volatile SharedBlock* block = FindSharedBlock(dll);
    if (block == NULL) return kExitNotFound;
    if (argc == 2) {
        typedef void(WINAPI * HandlesProc)(HWND, HWND, HWND);
        FARPROC found = GetProcAddress(dll, "SignalHookHandles");
        if (found == NULL) return kExitNotFound;
        reinterpret_cast<HandlesProc>(reinterpret_cast<void*>(found))(NULL, NULL, NULL);
    }
    char line[200];
    FormatSharedBlock(line, sizeof line, block);
    printf("%s\n", line);
    return kExitOk;
}

int Run(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* cmd = argv[1];
    int n = argc - 2;
    char** a = argv + 2;
    if (strcmp(cmd, "find") == 0) return CmdFind(n, a);
    if (strcmp(cmd, "findwindow") == 0) return CmdFindWindow(n, a);
    if (strcmp(cmd, "findchild") == 0) return CmdFindChild(n, a);
    if (strcmp(cmd, "info") == 0) return CmdInfo(n, a);
    if (strcmp(cmd, "title") == 0) return CmdTitle(n, a);
    if (strcmp(cmd, "menus") == 0) return CmdMenus(n, a);
    if (strcmp(cmd, "waitmenu") == 0) return CmdWaitMenu(n, a, true);
    if (strcmp(cmd, "waitnomenu") == 0) return CmdWaitMenu(n, a, false);
    if (strcmp(cmd, "post") == 0) return CmdPostSend(n, a, false);
    if (strcmp(cmd, "send") == 0) return CmdPostSend(n, a, true);
    if (strcmp(cmd, "children") == 0) return CmdChildren(n, a);
    if (strcmp(cmd, "foreground") == 0) return CmdForeground(n, a);
    if (strcmp(cmd, "cursor") == 0) return CmdCursor(n, a);
    if (strcmp(cmd, "screen") == 0) return CmdScreen(n, a);
    if (strcmp(cmd, "waitwindow") == 0) return CmdWaitWindow(n, a);
    if (strcmp(cmd, "click-button") == 0) return CmdClickButton(n, a);
    if (strcmp(cmd, "sysmenu-state") == 0) return CmdSysMenuState(n, a);
    if (strcmp(cmd, "move") == 0) return CmdMove(n, a);
    if (strcmp(cmd, "owner") == 0) return CmdOwner(n, a);
    if (strcmp(cmd, "enabled") == 0) return CmdEnabled(n, a);
    if (strcmp(cmd, "itemrect") == 0) return CmdItemRect(n, a);
    if (strcmp(cmd, "hook") == 0) return CmdHook(n, a);
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    int rc = Run(argc, argv);
    fflush(stdout);
    fflush(stderr);
    return rc;
}
