"""Starting and observing Pivotrix.exe from outside, shared by the end-to-end tests."""

import os
import re

from winenv import check, wait_for

WM_CLOSE = 0x0010
WM_SYSCOMMAND = 0x0112
WM_APP = 0x8000
SC_RESTORE = 0xF120


def write_ini(directory, **keys):
    """Writes PIVOTRIX.INI as the program itself would (CR LF lines)."""
    lines = ["[PIVOTRIX]"] + [f"{key}={value}" for key, value in keys.items()]
    with open(os.path.join(directory, "PIVOTRIX.INI"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def read_ini(directory):
    """The keys of PIVOTRIX.INI as a dict, or None when there is no file."""
    path = os.path.join(directory, "PIVOTRIX.INI")
    if not os.path.exists(path):
        return None
    keys = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            match = re.match(r"\s*([^=\[\]]+?)\s*=\s*(.*?)\s*$", line)
            if match:
                keys[match.group(1)] = match.group(2)
    return keys


def start_pivotrix(wine, run_dir, holder=None, **ini):
    """Starts Pivotrix.exe with run_dir as its current directory (and an INI when given);
    returns (process, main window handle) once its window exists. With a state holder
    (hwnd, log) it also waits until the start-up has handed the taskbar's handles to the
    library, which it does right before it installs the hook (or doesn't)."""
    os.makedirs(run_dir, exist_ok=True)
    if ini:
        write_ini(run_dir, **ini)
    if holder is not None:
        count = len(holder[1].events(r"^HANDLES"))
        wine.post(holder[0], WM_APP + 1, 0)  # clears the handles in the shared block
        holder[1].wait(r"^HANDLES", count=count + 1)
    process = wine.start(os.path.join(wine.build_dir, "Pivotrix.exe"), cwd=run_dir)
    hwnd = wait_for(lambda: wine.find_window("PIVOTRIX", "Pivotrix"), 15, "Pivotrix's window")
    if holder is not None:
        wait_for(lambda: shared_state(wine, *holder)["tray"] != 0, 5,
                 "the start-up to hand over the taskbar")
    return process, hwnd


def close_pivotrix(wine, process, hwnd):
    """Closes Pivotrix through WM_CLOSE and returns its exit code."""
    wine.post(hwnd, WM_CLOSE)
    try:
        return process.wait(timeout=15)
    except Exception:
        check(False, "Pivotrix ends after WM_CLOSE", "exit", "still running")


def start_state_holder(wine):
    """A process that keeps PIVOHOOK.DLL mapped without installing anything, so that the
    library's shared block can be read and reset from outside while programs come and go."""
    _, log = wine.start_tool("hookprobe", "--no-install")
    hwnd = log.wait(r"READY hwnd=(0x[0-9A-F]+) hook=0").group(1)
    return hwnd, log


def shared_state(wine, holder, holder_log):
    """The shared block as a dict of ints."""
    count = len(holder_log.events(r"^STATE"))
    wine.post(holder, WM_APP + 6)
    line = holder_log.wait(r"^STATE (.*)", count=count + 1).group(1)
    return {k: int(v, 0) for k, v in (field.split("=") for field in line.split())}


# --- control menu and dialogs ------------------------------------------------------------

import subprocess  # noqa: E402  (imports of the helpers below)
import time  # noqa: E402

IDM_ABOUT = 43114
IDM_HELP = 43115
IDM_ACTIVATE = 43185
IDM_DEACTIVATE = 43186
IDM_EXTRA_ON = 43187
IDM_EXTRA_OFF = 43188
IDM_LARGE_MENU = 43189
IDM_SMALL_MENU = 43190


def ini_bytes(directory):
    """PIVOTRIX.INI's exact content, or None when there is no file."""
    path = os.path.join(directory, "PIVOTRIX.INI")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def wait_ini(directory, expected, timeout=5):
    """Waits until read_ini(directory) equals expected; fails with both when it doesn't."""
    try:
        return wait_for(lambda: read_ini(directory) == expected, timeout,
                        f"PIVOTRIX.INI to hold {expected}")
    except AssertionError:
        check(False, "PIVOTRIX.INI", expected, read_ini(directory))


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
    IDM_HELP: (0, 0), IDM_ABOUT: (0, 1),
    IDM_LARGE_MENU: (1, 0), IDM_SMALL_MENU: (1, 1),
    IDM_EXTRA_ON: (2, 0), IDM_EXTRA_OFF: (2, 1),
    IDM_ACTIVATE: (3, 0), IDM_DEACTIVATE: (3, 1),
}
MENU_MARGIN = 4  # pixels of frame and space beside the items of a menu window


def open_system_menu(wine, hwnd):
    """Opens the system menu of the minimized window hwnd with a real left click on its
    icon; returns the menu window's rectangle.

    Under Wine the minimized window is a small title bar at the bottom left of the desktop.
    Rarely (twice in some 90 test runs, for reasons not found) the first click on it after
    start-up opened nothing; the click is then made once more, with a note in the output,
    after more than a double-click time, so that it is not taken for a double click (which
    would ask to restore the window)."""
    for attempt in (1, 2):
        info = wine.window_info(hwnd)
        check(info is not None and info["iconic"] and info["visible"],
              "a minimized window to click", "iconic and visible", info)
        left, top, right, bottom = info["rect"]
        point = (left + 8, (top + bottom) // 2)
        wine.click(*point, button=1)
        code, lines = wine.wintool("waitmenu", 3000, ok=False)
        if code == 0:
            return tuple(int(v) for v in lines[0].split()[1:5])
        if attempt == 1:
            print(f"note: no system menu after a click at {point} on {info['rect']}; "
                  "clicking again", flush=True)
            time.sleep(0.7)
    check(False, "a click on the minimized window opens its system menu",
          "a menu", f"none after two clicks at {point} on {info['rect']}")


def point_at_control_item(wine, menu_rect, command):
    """Moves the mouse onto a control-menu item of the open system menu and returns the
    point, after making sure that the item under it is the one meant.

    The control-menu items come last in the system menu, in groups of two after a separator
    each, so an item is found from the separator lines (menu_separator_lines) counted from
    the bottom, whatever the window system put above them. A group spans from its separator
    line to the next one (the last group to the menu's bottom edge); the pointer goes to 30 %
    of that span for the upper item and to 75 % for the lower one. The menu then highlights
    the item under the pointer: that highlighted band must hold the point, cover less than
    half of the group and lie nearer to the group's top (upper item) or bottom (lower item).
    Measured under Wine 8: a group of 41 rows, highlighted bands 16 rows high 5 rows below
    the separator and 3 rows above the next one."""
    group, second = CONTROL_ITEM_PLACES[command]
    lines = menu_separator_lines(wine, menu_rect)
    check(len(lines) >= 4, "separators before the control-menu groups", "4 or more", lines)
    bounds = lines[-4:] + [menu_rect[3]]
    upper, lower = bounds[3 - group], bounds[4 - group]
    x = (menu_rect[0] + menu_rect[2]) // 2
    y = upper + (lower - upper) * (75 if second else 30) // 100
    wine.move_mouse(x, y)
    time.sleep(0.2)

    # The band of rows whose colour near the left edge differs from the menu's background
    # (the colour just below the separator line); the last two rows, which may be the
    # menu's frame, are left out.
    column = [row[MENU_MARGIN] for row in screen_pixels(
        wine, (menu_rect[0], upper, menu_rect[2], lower - 2))]
    background = column[2]
    band = [upper + i for i, colour in enumerate(column) if i > 1 and colour != background]
    what = f"the item under the pointer is highlighted (separators at {lines})"
    check(band and band[0] <= y <= band[-1] and band[-1] - band[0] == len(band) - 1 and
          2 * len(band) < lower - upper, what,
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
    of its group. A check mark is drawn in the column left of the texts; measured under
    Wine 8: pixels 5 to 11 from the menu's left edge, the texts starting at 17."""
    lines = menu_separator_lines(wine, menu_rect)
    check(len(lines) >= 4, "separators before the control-menu groups", "4 or more", lines)
    bounds = lines[-4:] + [menu_rect[3]]
    rows = screen_pixels(wine, (menu_rect[0], bounds[0], menu_rect[2], bounds[-1]))
    background = rows[2][MENU_MARGIN]
    marks = {}
    for command, (group, second) in CONTROL_ITEM_PLACES.items():
        upper, lower = bounds[3 - group] - bounds[0], bounds[4 - group] - bounds[0]
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
