#!/usr/bin/env python3
"""scripts/run with a display: Pivotrix in the Wine prefix PREFIX (made first when
missing), in a virtual desktop named "shell" on the display, which has Wine's taskbar.
Pivotrix starts once the taskbar is up, and this returns when Pivotrix ends; the desktop
and whatever else runs in it end then too.

Usage: run_display.py BUILD PREFIX   (BUILD/win64 holds the x86_64 build, BUILD/run the
program and its settings)
"""

import os
import sys

top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "e2e"))

from winenv import (WineSession, make_base_prefix, put_programs_in_desktop,  # noqa: E402
                    puts_programs_in_desktop, seed_start_menu, wait_for)

DESKTOP = "shell"
WM_DISPLAYCHANGE = 0x007E


def show_task_button(wine, hwnd):
    """Waits until Wine's taskbar shows the window's button; returns its rectangle.

    Wine's taskbar makes a window's button when it learns that the window was created, and
    shows it only when the window is visible at that moment; it looks at the windows again
    only when another one is created or destroyed. Pivotrix shows its window (minimized)
    just after creating it, so the taskbar, when quicker, keeps its button hidden. A
    WM_DISPLAYCHANGE makes the taskbar lay out its buttons anew from the windows' states."""
    button = wait_for(lambda: wine.task_button(hwnd), 30, "Pivotrix's button on Wine's taskbar")
    if button[2] <= button[0]:
        wine.post(wine.find_window("Shell_TrayWnd"), WM_DISPLAYCHANGE)
        button = wait_for(lambda: (b := wine.task_button(hwnd)) and b[2] > b[0] and b, 30,
                          "Pivotrix's button shown on Wine's taskbar")
    return button


def main(build, prefix):
    run_dir = os.path.join(build, "run")
    if not os.path.isdir(prefix):
        make_base_prefix(prefix, DESKTOP)
    elif not puts_programs_in_desktop(prefix, DESKTOP):
        put_programs_in_desktop(prefix, DESKTOP)
    # Shortcuts to a few of Wine's own programs (Notepad, WordPad, Minesweeper, Registry
    # Editor) in the prefix's Start Menu, in folders, for the popup's Start item to show: on
    # Wine's taskbar it opens Pivotrix's own Start menu. Shortcuts already there stay.
    seed_start_menu(prefix)
    with WineSession(os.path.join(build, "win64"), None, desktop=DESKTOP,
                     display=os.environ["DISPLAY"], prefix=prefix) as wine:
        # The session's first program brought up the desktop; the taskbar is up once its
        # Start button is laid out.
        wait_for(lambda: (tray := wine.find_window("Shell_TrayWnd")) and
                 (start := wine.wintool("findchild", tray, "Button", ok=False)[1]) and
                 (info := wine.window_info(start[0])) and info["visible"], 30,
                 "Wine's taskbar")
        pivotrix = wine.start(os.path.join(run_dir, "Pivotrix.exe"), cwd=run_dir)
        hwnd = wait_for(lambda: (h := wine.find_window("PIVOTRIX", "Pivotrix")) and
                        (info := wine.window_info(h)) and info["visible"] and h, 30,
                        "Pivotrix's window")
        show_task_button(wine, hwnd)
        print("Pivotrix runs in the Wine desktop window, as the button beside Start on its "
              "taskbar; right-click it for its settings, and close it from there to end.",
              flush=True)
        pivotrix.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])))
