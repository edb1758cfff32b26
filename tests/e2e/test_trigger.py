"""Ctrl + right click: with that trigger chosen, a plain right click belongs to the program
alone, and a right click with Ctrl held brings the popup alone, which then behaves as a
context menu: one click on an item carries it out, and it has the keyboard. The choice is
stored as "Trigger" and holds after a restart; any right click stays the default."""

import sys

from pivotrix import (IDM_TRIGGER_CTRL, SC_RESTORE, WM_SYSCOMMAND, close_pivotrix,
                      hook_state, start_pivotrix, wait_ini)
from popup import both_menus, dismiss, end_menu_left_open, item_centre, wait_popup
from winenv import INSIDE, check, run_tests, wait_for

FAR_OFF = (1000, 740)  # a click here closes a menu and lands on the bare desktop


def check_ctrl_trigger(wine, point, target, right_clicks_seen=None):
    """Under the Ctrl trigger: a plain right click at point opens the program's own menu and
    requests no popup; a Ctrl + right click opens the popup alone, hidden from the program
    (right_clicks_seen() counts the right presses and releases it got, where it tells), and
    it takes the keyboard (Escape closes it) and gives the foreground back; one click on its
    Minimize item minimizes the target."""
    # The program's own menu ends on a click elsewhere only while the program is in front,
    # as the platform has it: a left click puts it there first.
    wine.click(*point)
    wait_for(lambda: wine.wintool("foreground") == [target], 5, f"{target} in front")
    wine.click(*point, button=3)
    own = wait_for(lambda: (m := wine.menus()) and m, 5, "the program's own menu")
    check(len(own) == 1 and own[0][0] == point[0], "only the program's menu opens",
          "one menu right of the cursor", own)
    check(hook_state(wine)["extra"] == 0, "a plain right click requests no popup", 0,
          hook_state(wine))
    dismiss(wine, FAR_OFF)

    seen = right_clicks_seen() if right_clicks_seen else None
    wine.ctrl_click(*point)
    popup = wait_popup(wine)
    check(popup[2] == point[0], "the popup, left of the cursor", point[0], popup)
    if right_clicks_seen:
        check(right_clicks_seen() == seen, "the program sees neither press nor release", seen,
              right_clicks_seen())
    wine.key("Escape")
    wait_for(lambda: not wine.menus(), 5, "Escape closes the popup: it has the keyboard")
    wait_for(lambda: wine.wintool("foreground") == [target], 5,
             f"the foreground back on the clicked window {target}")

    wine.ctrl_click(*point)
    wine.click(*item_centre(wine, wait_popup(wine), group=2, index=1, count=2))
    wait_for(lambda: wine.window_info(target)["iconic"], 5, "one click on Minimize minimizes")
    check(wine.menus() == [], "no menu left", [], wine.menus())
    wine.post(target, WM_SYSCOMMAND, SC_RESTORE)
    wait_for(lambda: not wine.window_info(target)["iconic"], 5, "the target back")


def test_ctrl_right_click_beside_a_windows_own_menu(session, build_dir):
    with session() as wine:
        _, log, target, _ = wine.start_target("--context-menu")
        point = INSIDE
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir, Enable=1, Extra=1)

        # Any right click, the default: both menus open, as ever. A click far off closes the
        # popup, and the program's menu too when its loop has the mouse.
        popup, _ = both_menus(wine, point)
        wine.click(*FAR_OFF)
        wait_for(lambda: popup not in wine.menus(), 5, "the popup closed by a click far off")
        end_menu_left_open(wine, target)

        # The choice adds its key alone, and holds after a restart.
        wine.post(hwnd, WM_SYSCOMMAND, IDM_TRIGGER_CTRL)
        wait_ini(run_dir, {"Enable": "1", "Extra": "1", "Trigger": "1"})
        def seen():
            return len(log.events(r"^RBUTTON(DOWN|UP)"))

        check_ctrl_trigger(wine, point, target, seen)
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        process, hwnd = start_pivotrix(wine, run_dir)
        check_ctrl_trigger(wine, point, target, seen)
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        wait_ini(run_dir, {"Enable": "1", "Extra": "1", "Trigger": "1"})


def test_ctrl_right_click_on_notepad(session, build_dir):
    with session() as wine:
        notepad = wine.start_notepad()
        point = (450, 350)  # in Notepad's text, where it opens its own menu
        process, hwnd = start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1, Trigger=1)
        check_ctrl_trigger(wine, point, notepad)
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
