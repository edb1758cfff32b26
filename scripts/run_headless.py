#!/usr/bin/env python3
"""scripts/run without a display: Pivotrix in a Wine session of its own (a private Xvfb
display and a private copy of the end-to-end tests' Wine prefix, made first when missing),
in the "shell" desktop with Notepad beside it. A right click in Notepad's text opens
Notepad's menu and, with the popup switched on, Pivotrix's popup; once they are drawn, the
desktop is saved to BUILD/pivotrix-screenshot.png.

Usage: run_headless.py BUILD   (BUILD/win64 holds the x86_64 build, BUILD/run the settings)
"""

import os
import sys

top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "e2e"))

from pivotrix import start_pivotrix, stored_enable, wait_painted  # noqa: E402
from winenv import WineSession, make_base_prefix, seed_start_menu, wait_for  # noqa: E402

IN_NOTEPAD = (450, 350)  # in the text of the Notepad that start_notepad places


def main(build):
    run_dir = os.path.join(build, "run")
    prefix = os.path.join(build, "native", "tests", "e2e-base-prefix")
    if not os.path.isdir(prefix):
        make_base_prefix(prefix)
    # A first run has no settings: the popup and its window commands switched on.
    first = not os.path.exists(os.path.join(run_dir, "PIVOTRIX.INI"))
    settings = {"Enable": 1, "Extra": 1} if first else {}
    screenshot = os.path.join(build, "pivotrix-screenshot.png")
    with WineSession(os.path.join(build, "win64"), prefix, desktop="shell") as wine:
        seed_start_menu(wine.prefix)
        wine.start_notepad()
        start_pivotrix(wine, run_dir, **settings)
        wine.click(*IN_NOTEPAD, button=3)
        count = 2 if stored_enable(run_dir) else 1
        menus = wait_for(lambda: len(m := wine.menus()) == count and m, 10,
                         f"{count} menu(s) after the right click")
        for menu in menus:
            wait_painted(wine, menu)
        wine.screenshot(screenshot)
    print(f"No display: Pivotrix ran headless; screenshot of its desktop saved to {screenshot}")
    return 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
