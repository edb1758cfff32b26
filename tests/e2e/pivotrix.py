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
