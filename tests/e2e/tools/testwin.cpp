// testwin.exe - GUI target window for the end-to-end tests.
//
// Shows one top-level window and logs the messages it receives, one line per
// event: "<ms> EVENT args", <ms> = milliseconds since the program started.
// Lines go to stdout (CR LF, text mode) and, with --log FILE, are appended to
// FILE (LF only, binary mode); each line is flushed at once.
//
// Options:
//   --title T         caption (default "Target")
//   --pos X Y W H     window rectangle (default 300 200 300 200)
//   --style S         normal (WS_OVERLAPPEDWINDOW, default) | nomax |
//                     nobox (no minimize/maximize box) | nosysmenu | popup
//                     (ignored with --dialog)
//   --dialog          modeless dialog (class "#32770", caption, system menu,
//                     minimize and maximize boxes) with a "Push me" button,
//                     id 100, at client (20,20), 150x40
//   --context-menu    open a context menu of its own on WM_RBUTTONUP, as many
//                     programs do: items "One" (id 201) and "Two" (id 202) at
//                     the cursor, tracked with TrackPopupMenu
//   --count-input NAME
//                     count the mouse messages the window receives in a shared
//                     block named NAME (input_counts.h) and set the auto-reset
//                     event "NAME.event" after each one, so that a benchmark
//                     can inject input one event at a time
//   --log FILE        append log lines to FILE
//
// Events: READY hwnd=0x%08X child=0x%08X, RBUTTONDOWN x y, RBUTTONUP x y,
// LBUTTONDOWN x y, LBUTTONUP x y (client coordinates), NCRBUTTONDOWN x y ht,
// NCRBUTTONUP x y ht (screen coordinates, hit-test code), CONTEXTMENU x y,
// SYSCOMMAND 0xF020 (wParam & 0xFFF0), SETFOCUS, KILLFOCUS, ACTIVATE state,
// COMMAND id code, CLOSE, DESTROY, OWNMENU OPEN x y / OWNMENU CLOSED id (the
// context menu of --context-menu; id 0 when it closed without a choice).
// Button messages are logged with the prefix "CHILD " (RBUTTONDOWN/UP,
// LBUTTONDOWN/UP, SETFOCUS, KILLFOCUS).
// The program exits with code 0 once its window is destroyed.
//
// Private message WM_APP+2 (0x8002), wParam = system menu command id: the
// window answers with GetMenuState(GetSystemMenu(hwnd, FALSE), id,
// MF_BYCOMMAND) as the result (-1 if there is no such item) and logs
// "SYSMENU 0xF030 flags text". Reading another process's system menu does not
// work under Wine, so tests ask the window itself, e.g.
// "wintool send HWND 0x8002 0xF030 0".
//
// Private message WM_APP+3 (0x8003), wParam 1 or 0: from now on open (or no
// longer open) the context menu of --context-menu; answers 1.

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "input_counts.h"

namespace {

const int kButtonId = 100;
const int kButtonX = 20;
const int kButtonY = 20;
const int kButtonW = 150;
const int kButtonH = 40;
const char kClassName[] = "PivotrixE2eTestWin";
const UINT kQuerySysMenu = WM_APP + 2;
const UINT kSetOwnMenu = WM_APP + 3;
const UINT kInputHandled = WM_APP + 4;  // --count-input, see CountInput

InputCounts* g_counts = NULL;
HANDLE g_counted = NULL;

DWORD g_start_ticks = 0;
FILE* g_log = NULL;
HWND g_main = NULL;
HWND g_child = NULL;
bool g_context_menu = false;
WNDPROC g_child_orig = NULL;

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

// Logs the mouse/focus messages shared by the window, the dialog and the
// button (the caller still passes every message on).
void LogCommon(const char* prefix, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_RBUTTONDOWN:
            Log("%sRBUTTONDOWN %d %d", prefix, LX(lp), LY(lp));
            break;
        case WM_RBUTTONUP:
            Log("%sRBUTTONUP %d %d", prefix, LX(lp), LY(lp));
            break;
        case WM_LBUTTONDOWN:
            Log("%sLBUTTONDOWN %d %d", prefix, LX(lp), LY(lp));
            break;
        case WM_LBUTTONUP:
            Log("%sLBUTTONUP %d %d", prefix, LX(lp), LY(lp));
            break;
        case WM_NCRBUTTONDOWN:
            Log("%sNCRBUTTONDOWN %d %d %d", prefix, LX(lp), LY(lp), (int)wp);
            break;
        case WM_NCRBUTTONUP:
            Log("%sNCRBUTTONUP %d %d %d", prefix, LX(lp), LY(lp), (int)wp);
            break;
        case WM_SETFOCUS:
            Log("%sSETFOCUS", prefix);
            break;
        case WM_KILLFOCUS:
            Log("%sKILLFOCUS", prefix);
            break;
        default:
            break;
    }
}

void LogTopLevel(UINT msg, WPARAM wp, LPARAM lp) {
    LogCommon("", msg, wp, lp);
    switch (msg) {
        case WM_CONTEXTMENU:
            Log("CONTEXTMENU %d %d", LX(lp), LY(lp));
            break;
        case WM_SYSCOMMAND:
            Log("SYSCOMMAND 0x%04X", (unsigned)(wp & 0xFFF0));
            break;
        case WM_ACTIVATE:
            Log("ACTIVATE %u", (unsigned)LOWORD(wp));
            break;
        case WM_COMMAND:
            Log("COMMAND %u %u", (unsigned)LOWORD(wp), (unsigned)HIWORD(wp));
            break;
        case WM_CLOSE:
            Log("CLOSE");
            break;
        case WM_DESTROY:
            Log("DESTROY");
            break;
        default:
            break;
    }
}

// Answers kQuerySysMenu for window HWND; returns the item's flags or -1.
LRESULT QuerySysMenu(HWND hwnd, WPARAM id) {
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    UINT flags = (UINT)-1;
    char text[256];
    text[0] = '\0';
    if (menu != NULL) {
        flags = GetMenuState(menu, (UINT)id, MF_BYCOMMAND);
        GetMenuStringA(menu, (UINT)id, text, (int)sizeof text, MF_BYCOMMAND);
    }
    if (flags == (UINT)-1) {
        Log("SYSMENU 0x%04X -1 %s", (unsigned)id, text);
        return -1;
    }
    Log("SYSMENU 0x%04X %u %s", (unsigned)id, flags, text);
    return (LRESULT)flags;
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LogCommon("CHILD ", msg, wp, lp);
    return CallWindowProcA(g_child_orig, hwnd, msg, wp, lp);
}

// The context menu of --context-menu, opened at the cursor and tracked until
// it closes.
void TrackOwnMenu(HWND hwnd) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 201, "One");
    AppendMenuA(menu, MF_STRING, 202, "Two");
    POINT at;
    GetCursorPos(&at);
    Log("OWNMENU OPEN %ld %ld", (long)at.x, (long)at.y);
    int chosen = (int)TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, hwnd,
                                     NULL);
    Log("OWNMENU CLOSED %d", chosen);
    DestroyMenu(menu);
}

// A mouse message is counted only once the window has gone back for its next
// message: Wine first hands over the X events that came in meanwhile (the echo
// of an injected move among them), so a benchmark that waits for the count
// never injects ahead of an echo.
void CountInput(HWND hwnd, UINT msg) {
    volatile LONG* counter = NULL;
    switch (msg) {
        case WM_MOUSEMOVE: counter = &g_counts->moves; break;
        case WM_RBUTTONDOWN: counter = &g_counts->rightDowns; break;
        case WM_RBUTTONUP: counter = &g_counts->rightUps; break;
        case WM_LBUTTONDOWN: counter = &g_counts->leftDowns; break;
        case WM_LBUTTONUP: counter = &g_counts->leftUps; break;
        default: return;
    }
    PostMessageA(hwnd, kInputHandled, 0, (LPARAM)counter);
}

void CountHandled(LPARAM counter) {
    InterlockedIncrement((volatile LONG*)counter);
    SetEvent(g_counted);
}

bool OpenInputCounts(const char* name) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL,
                                        PAGE_READWRITE, 0,
                                        sizeof(InputCounts), name);
    if (mapping == NULL) return false;
    g_counts = (InputCounts*)MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0,
                                           0, sizeof(InputCounts));
    char event_name[MAX_PATH];
    snprintf(event_name, sizeof event_name, "%s.event", name);
    g_counted = CreateEventA(NULL, FALSE, FALSE, event_name);
    return g_counts != NULL && g_counted != NULL;
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kInputHandled) {
        CountHandled(lp);
        return 0;
    }
    if (g_counts != NULL) CountInput(hwnd, msg);
    LogTopLevel(msg, wp, lp);
    if (msg == kQuerySysMenu) return QuerySysMenu(hwnd, wp);
    if (msg == kSetOwnMenu) {
        g_context_menu = wp != 0;
        return 1;
    }
    if (msg == WM_RBUTTONUP && g_context_menu) {
        TrackOwnMenu(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LogTopLevel(msg, wp, lp);
    if (msg == kQuerySysMenu) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, QuerySysMenu(hwnd, wp));
        return TRUE;
    }
    switch (msg) {
        case WM_INITDIALOG: {
            g_child = CreateWindowExA(
                0, "Button", "Push me",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kButtonX,
                kButtonY, kButtonW, kButtonH, hwnd,
                (HMENU)(INT_PTR)kButtonId, GetModuleHandleA(NULL), NULL);
            if (g_child != NULL) {
                SendMessageA(g_child, WM_SETFONT,
                             (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
                g_child_orig = (WNDPROC)SetWindowLongPtrA(
                    g_child, GWLP_WNDPROC, (LONG_PTR)ChildProc);
            }
            return TRUE;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {
                DestroyWindow(hwnd);
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

// Builds a minimal in-memory dialog template (no controls; the button is
// created in WM_INITDIALOG so that its pixel position is exact).
HWND CreateTheDialog(const char* title) {
    // DLGTEMPLATE + menu (0) + class (0) + title (UTF-16, NUL) aligned to DWORD.
    static WORD buffer[512];
    memset(buffer, 0, sizeof buffer);
    DLGTEMPLATE* t = (DLGTEMPLATE*)buffer;
    t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
               WS_MAXIMIZEBOX;
    t->dwExtendedStyle = 0;
    t->cdit = 0;
    t->x = 0;
    t->y = 0;
    t->cx = 100;
    t->cy = 60;
    WORD* p = (WORD*)(t + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // default dialog class
    int room = (int)(sizeof buffer / sizeof buffer[0]) - (int)(p - buffer) - 1;
    if (MultiByteToWideChar(CP_ACP, 0, title, -1, (WCHAR*)p, room) <= 0) {
        *p = 0;
    }
    return CreateDialogIndirectParamA(GetModuleHandleA(NULL), t, NULL,
                                      DialogProc, 0);
}

DWORD StyleFor(const char* name) {
    if (strcmp(name, "nomax") == 0) {
        return WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
    }
    if (strcmp(name, "nobox") == 0) {
        return WS_OVERLAPPEDWINDOW & ~(WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    }
    if (strcmp(name, "nosysmenu") == 0) {
        return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
    }
    if (strcmp(name, "popup") == 0) return WS_POPUP | WS_BORDER;
    if (strcmp(name, "normal") == 0) return WS_OVERLAPPEDWINDOW;
    return 0;
}

int UsageError(const char* what) {
    fprintf(stderr,
            "testwin: %s\nusage: testwin [--title T] [--pos X Y W H] "
            "[--style normal|nomax|nobox|nosysmenu|popup] [--dialog] "
            "[--context-menu] [--count-input NAME] "
            "[--log FILE]\n",
            what);
    fflush(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    g_start_ticks = GetTickCount();
    const char* title = "Target";
    int x = 300, y = 200, w = 300, h = 200;
    const char* style_name = "normal";
    bool dialog = false;
    const char* log_path = NULL;

    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (strcmp(a, "--title") == 0 && i + 1 < argc) {
            title = argv[++i];
        } else if (strcmp(a, "--pos") == 0 && i + 4 < argc) {
            x = atoi(argv[i + 1]);
            y = atoi(argv[i + 2]);
            w = atoi(argv[i + 3]);
            h = atoi(argv[i + 4]);
            i += 4;
        } else if (strcmp(a, "--style") == 0 && i + 1 < argc) {
            style_name = argv[++i];
            if (StyleFor(style_name) == 0) return UsageError("bad --style");
        } else if (strcmp(a, "--dialog") == 0) {
            dialog = true;
        } else if (strcmp(a, "--context-menu") == 0) {
            g_context_menu = true;
        } else if (strcmp(a, "--count-input") == 0 && i + 1 < argc) {
            if (!OpenInputCounts(argv[++i])) {
                return UsageError("cannot share the input counts");
            }
        } else if (strcmp(a, "--log") == 0 && i + 1 < argc) {
            log_path = argv[++i];
        } else {
            return UsageError("bad argument");
        }
    }

    if (log_path != NULL) {
        g_log = fopen(log_path, "ab");
        if (g_log == NULL) return UsageError("cannot open log file");
    }

    HINSTANCE inst = GetModuleHandleA(NULL);
    if (dialog) {
        g_main = CreateTheDialog(title);
        if (g_main != NULL) {
            SetWindowPos(g_main, NULL, x, y, w, h,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } else {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = MainProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        if (!RegisterClassA(&wc)) {
            Log("ERROR RegisterClass %lu", (unsigned long)GetLastError());
            return 3;
        }
        g_main = CreateWindowExA(0, kClassName, title, StyleFor(style_name),
                                 x, y, w, h, NULL, NULL, inst, NULL);
    }
    if (g_main == NULL) {
        Log("ERROR CreateWindow %lu", (unsigned long)GetLastError());
        return 3;
    }

    ShowWindow(g_main, SW_SHOWNORMAL);
    UpdateWindow(g_main);
    SetForegroundWindow(g_main);

    char hm[32], hc[32];
    FormatHandle(hm, sizeof hm, g_main);
    FormatHandle(hc, sizeof hc, g_child);
    Log("READY hwnd=%s child=%s", hm, hc);

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
        if (dialog && g_main != NULL && IsWindow(g_main) &&
            IsDialogMessageA(g_main, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_log != NULL) fclose(g_log);
    return rc;
}
