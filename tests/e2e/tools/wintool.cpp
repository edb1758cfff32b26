// wintool.exe - console helper for the end-to-end tests: inspects and drives the windows of
// other processes.
//
// One command per invocation, or many through "serve"; results go to stdout, one line per
// result, fields separated by single spaces. Window handles are printed as 0x%08X of the full handle value (more digits
// only if the value does not fit in 32 bits).
//
// Exit codes: 0 success, 1 not found / failed / timed out, 2 usage error.
//
// Commands:
//   find CLASS [TITLE]            first top-level window (EnumWindows order) with class CLASS
//                                 (case-insensitive, "-" = any) and exactly TITLE (when
//                                 given) -> handle
//   findchild PARENT CLASS        first direct child of PARENT with CLASS
//   info HWND                     hwnd class style exstyle iconic zoomed visible
//                                 left top right bottom   (screen coordinates)
//   menus                         one line per visible top-level "#32768":
//                                 hwnd left top right bottom
//   waitmenu TIMEOUT_MS           wait for a visible "#32768":
//                                 hwnd left top right bottom elapsed_ms
//   waitnomenu TIMEOUT_MS         wait until no visible "#32768": elapsed_ms
//   post HWND MSG WPARAM LPARAM [MSG WPARAM LPARAM ...]
//                                 PostMessage, each message in turn, back to back
//   send HWND MSG WPARAM LPARAM   SendMessageTimeout (5 s), prints the result
//   children HWND                 one line per direct child:
//                                 hwnd class left top right bottom
//                                 (relative to HWND's client area)
//   foreground                    GetForegroundWindow() handle
//   screen                        width height
//   waitwindow CLASS TITLE TIMEOUT_MS
//                                 wait for a visible top-level window, then print it like
//                                 "info"
//   click-button HWND ID          BM_CLICK to GetDlgItem(HWND, ID)
//   move HWND X Y W H             MoveWindow(HWND, X, Y, W, H, FALSE)
//   owner HWND                    GetWindow(HWND, GW_OWNER) -> handle
//                                 (0x00000000 when it has no owner)
//   enabled HWND                  1 when IsWindowEnabled(HWND), else 0
//   text HWND                     the window's text (a control's too), in the code page
//   itemrect HWND ID              screen rectangle of GetDlgItem(HWND, ID):
//                                 left top right bottom
//   hook DLL [clear]              loads the hook library DLL (a path; it stays loaded, so the
//                                 block outlives the programs under test) and prints its
//                                 shared block as every process that maps it sees it:
//                                 notify=0x.. extra=N start=N result=N tray=0x..
//                                 start_button=0x.. tabs=0x.. trigger=N trigger_press=N
//                                 buttons=0x.. list1=0x.. ... list7=0x..; with "clear" it
//                                 first clears the taskbar handles in it (SignalHookHandles
//                                 and SignalHookTaskLists with none)
//   key VK                        1 when the virtual key VK is down now (GetAsyncKeyState),
//                                 else 0
//   shortcut PATH                 reads the shell link (.lnk) PATH: its target on one line,
//                                 its working directory on the next, in UTF-8
//   shortpath PATH                the short (8.3) form of PATH, as GetShortPathNameW makes it
//   serve                         reads commands from stdin, one a line with its words
//                                 separated by tabs, runs each and ends its output with a
//                                 line "END <exit code>"; ends with stdin. Starting a Wine
//                                 process takes long on a busy machine: a test session keeps
//                                 one of these and sends it every command.
//
// Numbers are decimal or 0x-prefixed hex (a leading '-' is allowed); HWND arguments are
// always hex, with or without the 0x prefix.
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../../../hooklib/hook_shared.h"
#include "tool_window.h"

static const int kExitOk = 0;
static const int kExitNotFound = 1;
static const int kExitUsage = 2;

static const char kMenuClass[] = "#32768";
static const int kMaxMenus = 64;
static const UINT kSendTimeoutMs = 5000;

static int Usage(void) {
  fprintf(stderr,
          "usage: wintool COMMAND ARGS...\n"
          "  find CLASS [TITLE] | findchild PARENT CLASS | info HWND |\n"
          "  menus | waitmenu MS | waitnomenu MS |\n"
          "  post HWND MSG WP LP | send HWND MSG WP LP | children HWND |\n"
          "  foreground | screen | waitwindow CLASS TITLE MS |\n"
          "  click-button HWND ID | move HWND X Y W H | owner HWND | enabled HWND |\n"
          "  itemrect HWND ID | hook DLL [clear] | key VK | shortcut PATH | shortpath PATH |\n"
          "  serve\n");
  return kExitUsage;
}

// Reports a failed call with its error code on stderr; returns kExitNotFound.
static int Failed(const char* call) {
  fprintf(stderr, "%s failed: %lu\n", call, GetLastError());
  return kExitNotFound;
}

static bool SkipHexPrefix(const char** text) {
  if ((*text)[0] != '0' || ((*text)[1] != 'x' && (*text)[1] != 'X')) return false;
  *text += 2;
  return true;
}

// The whole of `text` as an unsigned number in `base`; false when it is empty or has other
// characters.
static bool ParseDigits(const char* text, int base, unsigned long long* value) {
  if (*text == '\0') return false;
  char* end = NULL;
  *value = strtoull(text, &end, base);
  return end != NULL && *end == '\0';
}

// A decimal or 0x-hex number with an optional leading '-'.
static bool ParseNumber(const char* text, long long* number) {
  if (text == NULL || *text == '\0') return false;
  bool negative = *text == '-';
  if (negative) ++text;
  int base = SkipHexPrefix(&text) ? 16 : 10;
  unsigned long long value = 0;
  if (!ParseDigits(text, base, &value)) return false;
  *number = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
  return true;
}

// A window handle: hex with or without the 0x prefix.
static bool ParseHandle(const char* text, HWND* hwnd) {
  if (text == NULL || *text == '\0') return false;
  SkipHexPrefix(&text);
  unsigned long long value = 0;
  if (!ParseDigits(text, 16, &value)) return false;
  *hwnd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
  return true;
}

static bool ParseInt(const char* text, int* number) {
  long long value = 0;
  if (!ParseNumber(text, &value)) return false;
  *number = static_cast<int>(value);
  return true;
}

static bool ClassMatches(HWND hwnd, const char* className) {
  if (className == NULL || strcmp(className, "-") == 0) return true;
  char name[256];
  if (GetClassNameA(hwnd, name, sizeof name) == 0) return false;
  return lstrcmpiA(name, className) == 0;
}

// The stored caption, read without sending WM_GETTEXT: a window whose thread is busy (or
// starting up) would otherwise block the caller.
static void ReadTitle(HWND hwnd, char* title, int size) {
  WCHAR wide[1024];
  int length = InternalGetWindowText(hwnd, wide, 1024);
  if (length <= 0) {
    title[0] = '\0';
    return;
  }
  int written = WideCharToMultiByte(CP_ACP, 0, wide, length, title, size - 1, NULL, NULL);
  title[written > 0 ? written : 0] = '\0';
}

static bool TitleMatches(HWND hwnd, const char* title) {
  if (title == NULL) return true;
  char text[1024];
  ReadTitle(hwnd, text, sizeof text);
  return strcmp(text, title) == 0;
}

// What FindTopLevel looks for, and the first window found.
struct FindData {
  const char* className;
  const char* title;
  bool needVisible;
  HWND result;
};

static BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
  FindData* find = reinterpret_cast<FindData*>(lParam);
  if (find->needVisible && !IsWindowVisible(hwnd)) return TRUE;
  if (!ClassMatches(hwnd, find->className)) return TRUE;
  if (!TitleMatches(hwnd, find->title)) return TRUE;
  find->result = hwnd;
  return FALSE;
}

static HWND FindTopLevel(const char* className, const char* title, bool needVisible) {
  FindData find = {className, title, needVisible, NULL};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&find));
  return find.result;
}

// The visible top-level menu windows.
struct MenuList {
  HWND items[kMaxMenus];
  int count;
};

static BOOL CALLBACK MenuProc(HWND hwnd, LPARAM lParam) {
  MenuList* menus = reinterpret_cast<MenuList*>(lParam);
  if (!IsWindowVisible(hwnd)) return TRUE;
  if (!ClassMatches(hwnd, kMenuClass)) return TRUE;
  if (menus->count < kMaxMenus) menus->items[menus->count++] = hwnd;
  return TRUE;
}

static void CollectMenus(MenuList* menus) {
  menus->count = 0;
  EnumWindows(MenuProc, reinterpret_cast<LPARAM>(menus));
}

// The window's screen rectangle; empty when it can't be read.
static RECT WindowRect(HWND hwnd) {
  RECT rect;
  SetRectEmpty(&rect);
  GetWindowRect(hwnd, &rect);
  return rect;
}

static void PrintHandleLine(HWND hwnd) { printf("%s\n", FormatHandle(hwnd).text); }

// "hwnd left top right bottom" and the suffix.
static void PrintRectLine(HWND hwnd, const char* suffix) {
  RECT r = WindowRect(hwnd);
  printf("%s %ld %ld %ld %ld%s\n", FormatHandle(hwnd).text, r.left, r.top, r.right, r.bottom,
         suffix);
}

static void PrintInfo(HWND hwnd) {
  char className[256];
  className[0] = '\0';
  GetClassNameA(hwnd, className, sizeof className);
  DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
  DWORD exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
  RECT r = WindowRect(hwnd);
  printf("%s %s 0x%08lX 0x%08lX %d %d %d %ld %ld %ld %ld\n", FormatHandle(hwnd).text, className,
         style, exStyle, IsIconic(hwnd) ? 1 : 0, IsZoomed(hwnd) ? 1 : 0,
         IsWindowVisible(hwnd) ? 1 : 0, r.left, r.top, r.right, r.bottom);
}

static int PrintFound(HWND hwnd) {
  if (hwnd == NULL) return kExitNotFound;
  PrintHandleLine(hwnd);
  return kExitOk;
}

// A command's arguments; for a command on a window, also args[0] read as the window and
// the numbers after it.
struct CommandArgs {
  int count;
  char** args;
  HWND hwnd;
  long long numbers[4];
};

static int CmdFind(const CommandArgs& a) {
  return PrintFound(FindTopLevel(a.args[0], a.count == 2 ? a.args[1] : NULL, false));
}

static int CmdFindChild(const CommandArgs& a) {
  for (HWND child = GetWindow(a.hwnd, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassMatches(child, a.args[1])) return PrintFound(child);
  }
  return kExitNotFound;
}

static int CmdInfo(const CommandArgs& a) {
  PrintInfo(a.hwnd);
  return kExitOk;
}

static int CmdMenus(const CommandArgs&) {
  MenuList menus;
  CollectMenus(&menus);
  for (int i = 0; i < menus.count; ++i) PrintRectLine(menus.items[i], "");
  return menus.count > 0 ? kExitOk : kExitNotFound;
}

// Polls every 10 ms until a menu is visible (wantMenu) or none is, or the timeout passes.
static int WaitMenu(const char* timeoutArg, bool wantMenu) {
  int timeout = 0;
  if (!ParseInt(timeoutArg, &timeout) || timeout < 0) return Usage();
  DWORD start = GetTickCount();
  for (;;) {
    MenuList menus;
    CollectMenus(&menus);
    DWORD elapsed = GetTickCount() - start;
    if (wantMenu && menus.count > 0) {
      char suffix[32];
      snprintf(suffix, sizeof suffix, " %lu", elapsed);
      PrintRectLine(menus.items[0], suffix);
      return kExitOk;
    }
    if (!wantMenu && menus.count == 0) {
      printf("%lu\n", elapsed);
      return kExitOk;
    }
    if (elapsed >= static_cast<DWORD>(timeout)) return kExitNotFound;
    Sleep(10);
  }
}

static int CmdWaitMenu(const CommandArgs& a) { return WaitMenu(a.args[0], true); }

static int CmdWaitNoMenu(const CommandArgs& a) { return WaitMenu(a.args[0], false); }

// Further messages after the first, read the same way, are posted back to back.
static int CmdPost(const CommandArgs& a) {
  if ((a.count - 1) % 3 != 0) return Usage();
  long long message[3] = {a.numbers[0], a.numbers[1], a.numbers[2]};
  for (int at = 1; at < a.count; at += 3) {
    for (int i = 0; at > 1 && i < 3; ++i) {
      if (!ParseNumber(a.args[at + i], &message[i])) return Usage();
    }
    if (!PostMessageA(a.hwnd, static_cast<UINT>(message[0]), static_cast<WPARAM>(message[1]),
                      static_cast<LPARAM>(message[2]))) {
      return Failed("PostMessage");
    }
  }
  return kExitOk;
}

static int CmdSend(const CommandArgs& a) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(a.hwnd, static_cast<UINT>(a.numbers[0]),
                           static_cast<WPARAM>(a.numbers[1]), static_cast<LPARAM>(a.numbers[2]),
                           SMTO_NORMAL, kSendTimeoutMs, &result)) {
    return Failed("SendMessageTimeout");
  }
  printf("%lld\n", static_cast<long long>(static_cast<LONG_PTR>(result)));
  return kExitOk;
}

static int CmdChildren(const CommandArgs& a) {
  for (HWND child = GetWindow(a.hwnd, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char className[256];
    className[0] = '\0';
    GetClassNameA(child, className, sizeof className);
    RECT r = WindowRect(child);
    MapWindowPoints(NULL, a.hwnd, reinterpret_cast<POINT*>(&r), 2);
    printf("%s %s %ld %ld %ld %ld\n", FormatHandle(child).text, className, r.left, r.top, r.right,
           r.bottom);
  }
  return kExitOk;
}

static int CmdForeground(const CommandArgs&) {
  PrintHandleLine(GetForegroundWindow());
  return kExitOk;
}

static int CmdScreen(const CommandArgs&) {
  printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return kExitOk;
}

static int CmdWaitWindow(const CommandArgs& a) {
  int timeout = 0;
  if (!ParseInt(a.args[2], &timeout) || timeout < 0) return Usage();
  DWORD start = GetTickCount();
  for (;;) {
    HWND hwnd = FindTopLevel(a.args[0], a.args[1], true);
    if (hwnd != NULL) {
      PrintInfo(hwnd);
      return kExitOk;
    }
    if (GetTickCount() - start >= static_cast<DWORD>(timeout)) return kExitNotFound;
    Sleep(10);
  }
}

// The dialog item whose id is the command's first number.
static HWND DialogItem(const CommandArgs& a) {
  return GetDlgItem(a.hwnd, static_cast<int>(a.numbers[0]));
}

static int CmdClickButton(const CommandArgs& a) {
  HWND button = DialogItem(a);
  if (button == NULL) return kExitNotFound;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result)) {
    return Failed("SendMessageTimeout");
  }
  return kExitOk;
}

static int CmdMove(const CommandArgs& a) {
  if (!MoveWindow(a.hwnd, static_cast<int>(a.numbers[0]), static_cast<int>(a.numbers[1]),
                  static_cast<int>(a.numbers[2]), static_cast<int>(a.numbers[3]), FALSE)) {
    return Failed("MoveWindow");
  }
  return kExitOk;
}

static int CmdOwner(const CommandArgs& a) {
  PrintHandleLine(GetWindow(a.hwnd, GW_OWNER));
  return kExitOk;
}

static int CmdText(const CommandArgs& a) {
  char text[1024];
  ReadTitle(a.hwnd, text, sizeof text);
  printf("%s\n", text);
  return kExitOk;
}

static int CmdEnabled(const CommandArgs& a) {
  printf("%d\n", IsWindowEnabled(a.hwnd) ? 1 : 0);
  return kExitOk;
}

static int CmdItemRect(const CommandArgs& a) {
  HWND item = DialogItem(a);
  if (item == NULL) return kExitNotFound;
  RECT r = WindowRect(item);
  printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return kExitOk;
}

// The SHARDATA section of the library loaded as `module` (the block is not exported), or null.
static const volatile SharedBlock* FindSharedBlock(HMODULE module) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  if (base == NULL) return NULL;
  IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (strncmp(reinterpret_cast<char*>(section->Name), "SHARDATA", 8) == 0) {
      return reinterpret_cast<const volatile SharedBlock*>(base + section->VirtualAddress);
    }
  }
  return NULL;
}

static int CmdHook(const CommandArgs& a) {
  if (a.count == 2 && strcmp(a.args[1], "clear") != 0) return Usage();
  HMODULE dll = LoadLibraryA(a.args[0]);
  const volatile SharedBlock* block = FindSharedBlock(dll);
  if (block == NULL) return kExitNotFound;
  if (a.count == 2) {
    typedef void(WINAPI * HandlesProc)(HWND, HWND, HWND);
    typedef void(WINAPI * TaskListsProc)(HWND, const HWND*, int32_t);
    FARPROC handles = GetProcAddress(dll, "SignalHookHandles");
    FARPROC lists = GetProcAddress(dll, "SignalHookTaskLists");
    if (handles == NULL || lists == NULL) return kExitNotFound;
    reinterpret_cast<HandlesProc>(reinterpret_cast<void*>(handles))(NULL, NULL, NULL);
    reinterpret_cast<TaskListsProc>(reinterpret_cast<void*>(lists))(NULL, NULL, 0);
  }
  printf("notify=0x%08lX extra=%ld start=%ld result=%ld tray=0x%08lX start_button=0x%08lX "
         "tabs=0x%08lX trigger=%ld trigger_press=%ld buttons=0x%08lX",
         static_cast<unsigned long>(block->hwndNotify), static_cast<long>(block->extraMenuState),
         static_cast<long>(block->startMenuState), static_cast<long>(block->hookResult),
         static_cast<unsigned long>(block->hwndTray),
         static_cast<unsigned long>(block->hwndStartButton),
         static_cast<unsigned long>(block->hwndTaskTabs), static_cast<long>(block->trigger),
         static_cast<long>(block->triggerPress),
         static_cast<unsigned long>(block->hwndTaskButtons));
  for (int i = 0; i < MORE_TASK_LISTS; ++i) {
    printf(" list%d=0x%08lX", i + 1, static_cast<unsigned long>(block->hwndMoreTaskLists[i]));
  }
  printf("\n");
  return kExitOk;
}

static int CmdKey(const CommandArgs& a) {
  int key = 0;
  if (!ParseInt(a.args[0], &key)) return Usage();
  printf("%d\n", GetAsyncKeyState(key) < 0 ? 1 : 0);
  return kExitOk;
}

static int CmdShortcut(const CommandArgs& a) {
  CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);  // once a thread; later calls only count
  WCHAR path[MAX_PATH];
  WCHAR read[2][MAX_PATH] = {L"", L""};  // target, working directory
  MultiByteToWideChar(CP_ACP, 0, a.args[0], -1, path, MAX_PATH);
  IShellLinkW* link = NULL;
  IPersistFile* file = NULL;
  HRESULT result = CoCreateInstance(__uuidof(ShellLink), NULL, CLSCTX_INPROC_SERVER,
                                    __uuidof(IShellLinkW), reinterpret_cast<void**>(&link));
  if (SUCCEEDED(result)) {
    result = link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file));
  }
  if (SUCCEEDED(result)) result = file->Load(path, STGM_READ);
  if (SUCCEEDED(result)) result = link->GetPath(read[0], MAX_PATH, NULL, 0);
  if (SUCCEEDED(result)) result = link->GetWorkingDirectory(read[1], MAX_PATH);
  if (file != NULL) file->Release();
  if (link != NULL) link->Release();
  if (FAILED(result)) return Failed("reading the shortcut");
  for (const WCHAR* text : read) {
    char utf8[MAX_PATH * 3];  // UTF-8, as the code page can't hold every name
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    printf("%s\n", utf8);
  }
  return kExitOk;
}

static int CmdShortPath(const CommandArgs& a) {
  WCHAR path[MAX_PATH], made[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, a.args[0], -1, path, MAX_PATH);
  DWORD length = GetShortPathNameW(path, made, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return Failed("GetShortPathNameW");
  printf("%ls\n", made);
  return kExitOk;
}

static const int kNoWindow = -1;

// A command word, how many arguments it takes (fewer or more is a usage error), whether it
// acts on a window and what runs it.
struct Command {
  const char* name;
  int minArgs;
  int maxArgs;
  int windowNumbers;  // on the window args[0]: how many numbers follow it; else kNoWindow
  int (*run)(const CommandArgs& a);
};

static const Command kCommands[] = {
    {"find", 1, 2, kNoWindow, CmdFind},
    {"findchild", 2, 2, 0, CmdFindChild},
    {"info", 1, 1, 0, CmdInfo},
    {"menus", 0, 0, kNoWindow, CmdMenus},
    {"waitmenu", 1, 1, kNoWindow, CmdWaitMenu},
    {"waitnomenu", 1, 1, kNoWindow, CmdWaitNoMenu},
    {"post", 4, 31, 3, CmdPost},
    {"send", 4, 4, 3, CmdSend},
    {"children", 1, 1, 0, CmdChildren},
    {"foreground", 0, 0, kNoWindow, CmdForeground},
    {"screen", 0, 0, kNoWindow, CmdScreen},
    {"waitwindow", 3, 3, kNoWindow, CmdWaitWindow},
    {"click-button", 2, 2, 1, CmdClickButton},
    {"move", 5, 5, 4, CmdMove},
    {"owner", 1, 1, 0, CmdOwner},
    {"enabled", 1, 1, 0, CmdEnabled},
    {"text", 1, 1, 0, CmdText},
    {"itemrect", 2, 2, 1, CmdItemRect},
    {"hook", 1, 2, kNoWindow, CmdHook},
    {"key", 1, 1, kNoWindow, CmdKey},
    {"shortcut", 1, 1, kNoWindow, CmdShortcut},
    {"shortpath", 1, 1, kNoWindow, CmdShortPath},
};

// Reads a window command's handle and numbers, all before looking for the window: a handle
// or number that does not parse is a usage error, a window that does not exist is not found.
static int ReadWindowArgs(const Command& command, CommandArgs* a) {
  if (!ParseHandle(a->args[0], &a->hwnd)) return Usage();
  for (int i = 0; i < command.windowNumbers; ++i) {
    if (!ParseNumber(a->args[1 + i], &a->numbers[i])) return Usage();
  }
  return IsWindow(a->hwnd) ? kExitOk : kExitNotFound;
}

static int Run(int argc, char** argv) {
  if (argc < 2) return Usage();
  CommandArgs a = {argc - 2, argv + 2, NULL, {0, 0, 0, 0}};
  for (const Command& command : kCommands) {
    if (strcmp(argv[1], command.name) != 0) continue;
    if (a.count < command.minArgs || a.count > command.maxArgs) return Usage();
    if (command.windowNumbers != kNoWindow) {
      int read = ReadWindowArgs(command, &a);
      if (read != kExitOk) return read;
    }
    return command.run(a);
  }
  return Usage();
}

// Runs the commands of stdin's lines, each followed by its "END <exit code>" line.
static int Serve(void) {
  static char line[4096];
  while (fgets(line, sizeof line, stdin) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    char* argv[40] = {const_cast<char*>("wintool")};
    int argc = 1;
    for (char* word = line; argc < 40;) {
      argv[argc++] = word;
      char* tab = strchr(word, '\t');
      if (tab == NULL) break;
      *tab = '\0';
      word = tab + 1;
    }
    int exitCode = Run(argc, argv);
    printf("END %d\n", exitCode);
    fflush(stdout);
    fflush(stderr);
  }
  return kExitOk;
}

int main(int argc, char** argv) {
  int exitCode = argc == 2 && strcmp(argv[1], "serve") == 0 ? Serve() : Run(argc, argv);
  fflush(stdout);
  fflush(stderr);
  return exitCode;
}
