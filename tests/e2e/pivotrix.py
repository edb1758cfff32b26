"""Starting and observing Pivotrix.exe from outside, shared by the end-to-end tests."""

import collections
import itertools
import os
import re
import subprocess

from winenv import check, wait_equal, wait_for

# The platform's numbers that the tests use.
WM_NULL = 0x0000
WM_CLOSE = 0x0010
WM_CANCELMODE = 0x001F
WM_TIMER = 0x0113
WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
WM_WININICHANGE = 0x001A
WM_APP = 0x8000
IDCANCEL = 2
LB_GETCOUNT = 0x018B
WS_EX_TOPMOST = 0x00000008
SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE, SC_RESTORE = 0xF020, 0xF030, 0xF060, 0xF120

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def read_constants(*paths):
    """Named numbers as the code defines them: "#define NAME 123" and enumerators
    "NAME = 0x0400 + 11,", from files relative to the top of the tree."""
    constants = {}
    for path in paths:
        with open(os.path.join(TOP, path)) as f:
            text = f.read()
        for name, value in re.findall(r"^#define (ID[A-Z]?_\w+) (\d+)\b", text, re.M):
            constants[name] = int(value)
        for name, base, offset in re.findall(
                r"^\s*([A-Z][A-Z0-9_]+) = (0x[0-9A-Fa-f]+|\d+)(?: \+ (\d+))?,", text, re.M):
            constants[name] = int(base, 0) + int(offset or 0)
    return constants


# Command ids (IDM_*, IDC_*), private messages (UM_*) and hookprobe's commands (PROBE_*),
# read from the code so that a test never re-types a number.
globals().update(read_constants("program/resource.h", "program/program_state.h",
                                "common/private_messages.h",
                                "tests/e2e/tools/probe_commands.h"))


def write_ini(directory, **keys):
    """Writes PIVOTRIX.INI as the program itself would (CR LF lines)."""
    lines = ["[PIVOTRIX]"] + [f"{key}={value}" for key, value in keys.items()]
    with open(os.path.join(directory, "PIVOTRIX.INI"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def read_ini(directory):
    """The keys of PIVOTRIX.INI as a dict, or None when there is no such file."""
    path = os.path.join(directory, "PIVOTRIX.INI")
    if not os.path.isfile(path):
        return None
    keys = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            match = re.match(r"\s*([^=\[\]]+?)\s*=\s*(.*?)\s*$", line)
            if match:
                keys[match.group(1)] = match.group(2)
    return keys


def parse_state(line):
    return {k: int(v, 0) for k, v in (field.split("=") for field in line.split())}


def hook_state(wine, clear=False, directory=None):
    """The hook library's shared block as the processes that map the library see it now (a
    fresh, empty block when none does); with clear, the taskbar handles in it are cleared
    first. The session's wintool keeps the library mapped from its first read on, so that
    the block outlives the programs under test. Each copy of the library file has a block
    of its own: directory names the one that holds it, the build's by default."""
    dll = wine.unix_to_windows(os.path.join(directory or wine.build_dir, "PIVOHOOK.DLL"))
    return parse_state(wine.wintool("hook", dll, *(["clear"] if clear else []))[0])


def expect_hook(wine, what, timeout=5, directory=None, **fields):
    """Waits until the shared block holds fields (named as hook_state names them), or with
    timeout 0 checks it once; fails with the fields as last read."""
    wait_equal(lambda: {name: hook_state(wine, directory=directory)[name] for name in fields},
               fields, timeout, what)


def stored_enable(run_dir):
    """Whether the settings file in run_dir makes the start-up install the hook: only the
    first character of a value counts."""
    keys = {key.lower(): value for key, value in (read_ini(run_dir) or {}).items()}
    return keys.get("enable", "0")[:1] == "1"


def start_pivotrix(wine, run_dir, settled=True, hooked=None, exe=None, **ini):
    """Starts Pivotrix.exe (by the path exe when given, else the build's) with run_dir as its
    current directory (and an INI when given); returns (process, main window handle).

    It returns once the start-up has run (settled): it hands the taskbar's handles to the
    library, then installs the hook when the stored Enable reads as 1, which is awaited
    too (hooked overrides what the file says). settled=False returns as soon as the window
    exists (a start-up that shows a message box first, say)."""
    os.makedirs(run_dir, exist_ok=True)
    if ini:
        write_ini(run_dir, **ini)
    # A window of a Pivotrix that just ended may outlive its process for a moment.
    wait_for(lambda: wine.find_window("PIVOTRIX", "Pivotrix") is None, 10,
             "no other Pivotrix window")
    if settled:
        hook_state(wine, clear=True)
    process = wine.start(exe or os.path.join(wine.build_dir, "Pivotrix.exe"), cwd=run_dir)
    hwnd = wait_for(lambda: wine.find_window("PIVOTRIX", "Pivotrix"), 15, "Pivotrix's window")
    if settled:
        wait_for(lambda: hook_state(wine)["tray"] != 0, 10,
                 "the start-up to hand the taskbar to the library")
        if stored_enable(run_dir) if hooked is None else hooked:
            expect_hook(wine, "the start-up to install the hook", notify=int(hwnd, 16))
    return process, hwnd


def close_pivotrix(wine, process, hwnd):
    """Closes Pivotrix through WM_CLOSE and returns its exit code once its process and its
    window are gone."""
    wine.post(hwnd, WM_CLOSE)
    try:
        code = process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        check(False, "Pivotrix ends after WM_CLOSE", "exit", "still running")
    wait_for(lambda: wine.window_info(hwnd) is None, 10, "Pivotrix's window gone")
    return code


def wait_handled(wine, hwnd, click=True):
    """Returns once Pivotrix has handled every message posted to it so far: one posted after
    them, UM_POPUP_NOW for its own window at (500, 10), shows a popup, which a click far off
    then closes. Without click, WM_CANCELMODE posted to Pivotrix's window ends its menu loop
    instead, for where a click would spoil what the test looks at: it would end the hook's
    Start-menu watch, or could move the focus. Fails when that popup does not show (a popup
    that a request before it left open makes it drop this one) or another menu is open
    beside it."""
    wine.post(hwnd, UM_POPUP_NOW, int(hwnd, 16) & 0xFFFF, (10 << 16) | 500)  # noqa: F821
    menus = wait_for(lambda: (m := wine.menus()) and (500, 30) in [(r[2], r[1]) for r in m] and m,
                     5, f"the popup that follows the messages posted before it (have "
                     f"{wine.menus()})")
    check(len(menus) == 1, "the one popup is the one asked for last", "right edge 500, top 30",
          menus)
    if click:
        wine.click(1000, 10)
    else:
        wine.post(hwnd, WM_CANCELMODE)
    wait_for(lambda: not wine.menus(), 5,
             "that popup closed by " + ("a click far off" if click else "WM_CANCELMODE"))


# --- control menu and dialogs ------------------------------------------------------------


def ini_bytes(directory):
    """PIVOTRIX.INI's exact content, or None when there is no file."""
    path = os.path.join(directory, "PIVOTRIX.INI")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def wait_ini(directory, expected, timeout=5):
    """Waits until read_ini(directory) equals expected; fails with both when it doesn't."""
    wait_equal(lambda: read_ini(directory), expected, timeout, "PIVOTRIX.INI")


def screen_pixels(wine, rect):
    """The screen's pixels inside rect (left, top, right, bottom) as rows of (r, g, b)."""
    left, top, right, bottom = rect
    width, height = right - left, bottom - top
    data = subprocess.run(
        ["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}", "-depth", "8",
         "ppm:-"], env=wine.env, check=True, capture_output=True, timeout=20).stdout
    # Binary PPM: "P6", width, height, maximum value, one white-space byte, then RGB bytes.
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    at += 1
    w, h = int(fields[1]), int(fields[2])
    check(fields[0] == b"P6" and (w, h) == (width, height), "screen capture format",
          f"P6 {width}x{height}", fields[:3])
    pixels = data[at:at + w * h * 3]
    return [[tuple(pixels[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)]
            for y in range(h)]


def wait_painted(wine, menu_rect, timeout=5):
    """Returns once the menu window at menu_rect shows on the screen. A menu window counts as
    visible before its first paint reaches the display; until then the screen shows what was
    there before. A painted menu has a frame of one colour all round, other than the colour
    that fills most of its inside."""
    def painted():
        rows = screen_pixels(wine, menu_rect)
        frame = set(rows[0]) | set(rows[-1]) | {row[0] for row in rows} | {row[-1] for row in rows}
        inside = collections.Counter(pixel for row in rows[1:-1] for pixel in row[1:-1])
        return len(frame) == 1 and frame != {inside.most_common(1)[0][0]}
    wait_for(painted, timeout, f"the menu at {menu_rect} painted on the screen")
    return menu_rect


def menu_separator_lines(wine, menu_rect):
    """Screen y of each separator line drawn in a menu window, top to bottom.

    A separator is a line of one colour across the item area, unlike its neighbour rows:
    rows of text have several colours, and an empty part of an item is the background
    colour, which the rows above and below share. The frame's rows are left out."""
    rows = screen_pixels(wine, menu_rect)
    margin = MENU_MARGIN
    inner = [row[margin:len(row) - margin] for row in rows]
    lines = []
    for y in range(margin, len(inner) - margin):
        colours = set(inner[y])
        if len(colours) != 1:
            continue
        colour = next(iter(colours))
        if colour in set(inner[y - 1]) or colour in set(inner[y + 1]):
            continue  # part of a plain area, not a line
        lines.append(menu_rect[1] + y)
    # A separator may be two rows (shadow and light): keep the first of adjacent rows.
    return [y for i, y in enumerate(lines) if i == 0 or lines[i - 1] != y - 1]


# Where each control-menu command sits, counted from the bottom of the system menu: the
# group (0 = below the last separator, 1 = between the last two separators, ...) and the
# item in it (0 = upper, 1 = lower). Every group holds two items.
CONTROL_ITEM_PLACES = {
    IDM_START_WITH_WINDOWS: (0, 0), IDM_NO_START_WITH_WINDOWS: (0, 1),  # noqa: F821
    IDM_TRIGGER_ANY: (1, 0), IDM_TRIGGER_CTRL: (1, 1),  # noqa: F821 (read from the code)
    IDM_HELP: (2, 0), IDM_ABOUT: (2, 1),  # noqa: F821
    IDM_LARGE_MENU: (3, 0), IDM_SMALL_MENU: (3, 1),  # noqa: F821
    IDM_EXTRA_ON: (4, 0), IDM_EXTRA_OFF: (4, 1),  # noqa: F821
    IDM_ACTIVATE: (5, 0), IDM_DEACTIVATE: (5, 1),  # noqa: F821
}
CONTROL_GROUPS = 6
# Two presses on one spot of the minimized window within the double-click time are a double
# click, which restores the window instead of opening its system menu; the clicks that the
# menu takes in between don't count. Successive openings therefore press on the icon at two
# spots further apart than the double-click rectangle (4 pixels wide by default).
ICON_SPOTS = itertools.cycle((8, 14))
MENU_MARGIN = 4  # pixels of frame and space beside the items of a menu window


def open_system_menu(wine, hwnd):
    """Opens the system menu of the minimized window hwnd with a real left click on its
    icon; returns the menu window's rectangle. Under Wine the minimized window is a small
    title bar at the bottom left of the desktop."""
    info = wine.window_info(hwnd)
    check(info is not None and info["iconic"] and info["visible"],
          "a minimized window to click", "iconic and visible", info)
    left, top, right, bottom = info["rect"]
    point = (left + next(ICON_SPOTS), (top + bottom) // 2)
    wine.click(*point, button=1)
    code, lines = wine.wintool("waitmenu", 3000, ok=False)
    check(code == 0, f"a click at {point} on the minimized window opens its system menu",
          f"a menu over the window at {info['rect']}",
          f"none; the window now {wine.window_info(hwnd)}, foreground "
          f"{wine.wintool('foreground', ok=False)}")
    return wait_painted(wine, tuple(int(v) for v in lines[0].split()[1:5]))


def point_at_control_item(wine, menu_rect, command):
    """Moves the mouse onto a control-menu item of the open system menu and returns the
    point, after making sure that the item under it is the one meant.

    The control-menu items come last in the system menu, in groups of two after a separator
    each, so an item is found from the separator lines (menu_separator_lines) counted from
    the bottom, whatever the window system put above them. A group spans from its separator
    line to the next one (the last group to the menu's bottom edge); the pointer goes to 30 %
    of that span for the upper item and to 75 % for the lower one. The menu then highlights
    the item under the pointer: that highlighted band must hold the point, cover less than
    half of the group and lie nearer to the group's top (upper item) or bottom (lower item),
    so that a pointer between two items, or on the wrong one, fails here and not later."""
    group, second = CONTROL_ITEM_PLACES[command]
    lines = menu_separator_lines(wine, menu_rect)
    check(len(lines) >= CONTROL_GROUPS, "separators before the control-menu groups",
          f"{CONTROL_GROUPS} or more", lines)
    bounds = lines[-CONTROL_GROUPS:] + [menu_rect[3]]
    upper, lower = bounds[CONTROL_GROUPS - 1 - group], bounds[CONTROL_GROUPS - group]
    x = (menu_rect[0] + menu_rect[2]) // 2
    y = upper + (lower - upper) * (75 if second else 30) // 100
    wine.move_mouse(x, y)

    # The band of rows whose colour near the left edge differs from the menu's background
    # (the colour just below the separator line); the last two rows, which may be the
    # menu's frame, are left out.
    def highlighted():
        column = [row[MENU_MARGIN] for row in screen_pixels(
            wine, (menu_rect[0], upper, menu_rect[2], lower - 2))]
        return [upper + i for i, colour in enumerate(column) if i > 1 and colour != column[2]]

    def one_band_around_the_pointer(band):
        return (band and band[0] <= y <= band[-1] and band[-1] - band[0] == len(band) - 1 and
                2 * len(band) < lower - upper)

    try:
        band = wait_for(lambda: (b := highlighted()) and one_band_around_the_pointer(b) and b,
                        2, "the highlight")
    except AssertionError:
        band = highlighted()
    what = f"the item under the pointer is highlighted (separators at {lines})"
    check(one_band_around_the_pointer(band), what,
          f"one band of rows around y={y}, less than half of {upper}..{lower}", band)
    above, below = band[0] - upper, lower - band[-1]
    if second:
        check(above > below, "the highlighted item is the group's lower one",
              f"nearer to {lower} than to {upper}", (band[0], band[-1]))
    else:
        check(above < below, "the highlighted item is the group's upper one",
              f"nearer to {upper} than to {lower}", (band[0], band[-1]))
    return x, y


def control_menu_check_marks(wine, menu_rect):
    """Which control-menu items of the open system menu show a check mark: a dict of command
    to bool. The pointer must be off the menu (no item highlighted).

    The groups are found as in point_at_control_item; each item is the upper or lower half
    of its group. A check mark is drawn in the column left of the texts, which the ten
    pixels after the menu's margin cover."""
    lines = menu_separator_lines(wine, menu_rect)
    check(len(lines) >= CONTROL_GROUPS, "separators before the control-menu groups",
          f"{CONTROL_GROUPS} or more", lines)
    bounds = lines[-CONTROL_GROUPS:] + [menu_rect[3]]
    rows = screen_pixels(wine, (menu_rect[0], bounds[0], menu_rect[2], bounds[-1]))
    background = rows[2][MENU_MARGIN]
    marks = {}
    for command, (group, second) in CONTROL_ITEM_PLACES.items():
        upper = bounds[CONTROL_GROUPS - 1 - group] - bounds[0]
        lower = bounds[CONTROL_GROUPS - group] - bounds[0]
        middle = (upper + lower) // 2
        first_row, end_row = (middle, lower - 2) if second else (upper + 2, middle)
        marks[command] = any(rows[y][x] != background for y in range(first_row, end_row)
                             for x in range(MENU_MARGIN, MENU_MARGIN + 10))
    return marks


def choose_control_item(wine, hwnd, command):
    """Opens Pivotrix's system menu with the mouse and chooses a control-menu command with a
    real left click; waits until the menu has closed."""
    menu_rect = open_system_menu(wine, hwnd)
    x, y = point_at_control_item(wine, menu_rect, command)
    wine.click(x, y, button=1)
    code, lines = wine.wintool("waitnomenu", 3000, ok=False)
    check(code == 0, "the system menu closes after the choice", "no menu", lines)
