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


def start_pivotrix(wine, run_dir, **ini):
    """Starts Pivotrix.exe with run_dir as its current directory (and an INI when given);
    returns (process, main window handle) once its window exists."""
    os.makedirs(run_dir, exist_ok=True)
    if ini:
        write_ini(run_dir, **ini)
    process = wine.start(os.path.join(wine.build_dir, "Pivotrix.exe"), cwd=run_dir)
    hwnd = wait_for(lambda: wine.find_window("PIVOTRIX", "Pivotrix"), 15, "Pivotrix's window")
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
    margin = 4  # the frame and the space beside the items
    inner = [row[margin:len(row) - margin] for row in rows]
    lines = []
    for y in range(margin, len(inner) - margin):
        colours = set(inner[y])
        if len(colours) != 1:
            continue
        colour = next(iter(colours))
        if colour in set(inner[y - 1]) and colour in set(inner[y + 1]):
            continue  # part of a plain area, not a line
        lines.append(menu_rect[1] + y)
    # A separator may be two rows (shadow and light): keep the first of adjacent rows.
    return [y for i, y in enumerate(lines) if i == 0 or lines[i - 1] != y - 1]
