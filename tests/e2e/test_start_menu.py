"""The Start item: the taskbar's Start button is moved under the cursor, pressed there and
put back. Checked against Wine's own taskbar and against fakeshell, a test program that
behaves like the classic taskbar (its Start button opens a menu next to wherever the
button is at the moment of the press, and its task-switch window holds a tab control)."""

import sys

from pivotrix import (IDM_EXTRA_OFF, IDM_EXTRA_ON, UM_START_CANCEL, UM_START_CLICK, WM_CLOSE,
                      WM_SYSCOMMAND, expect_hook, start_pivotrix, wait_handled, wait_ini)
from popup import choose, item_centre, wait_popup
from winenv import INSIDE, check, run_tests, wait_for

OTHER = (650, 100, 300, 200)  # a second window, beside the target


def start_shell_target_pivotrix(wine, *shell_args, **ini):
    _, shell_log = wine.start_tool("fakeshell", *shell_args)
    ready = shell_log.wait(r"READY tray=(\S+) start=(\S+) tasksw=(\S+) tabs=(\S+)")
    target = wine.start_target()
    # Without task tabs the start-up stops at its error box: no waiting for its end then.
    process, hwnd = start_pivotrix(wine, wine.path("run"), settled="--no-tabs" not in shell_args,
                                   **ini)
    return ready, shell_log, target.hwnd, target.log, hwnd, process


def test_start_opens_the_shells_menu_at_the_mouse(session, build_dir):
    with session() as wine:
        shell, shell_log, target, target_log, _, _ = start_shell_target_pivotrix(
            wine, Enable=1, Extra=0)
        tray, start_button = shell.group(1), shell.group(2)
        expect_hook(wine, "the Start button handed to the hook library",
                    start_button=int(start_button, 16))
        before = wine.window_info(start_button)["rect"]

        wine.click(*INSIDE, button=3)
        rect = wait_popup(wine)
        chosen = item_centre(wine, rect, group=0)
        wine.click(*chosen)
        opened = shell_log.wait(r"STARTMENU_OPEN (-?\d+) (-?\d+)")
        anchor = (int(opened.group(1)), int(opened.group(2)))
        check(anchor == chosen, "the shell's menu opens where the button was moved: the mouse",
              chosen, anchor)
        menus = wait_for(wine.menus, 5, "the shell's Start menu")
        check(len(menus) == 1 and menus[0][0] == chosen[0] and abs(menus[0][3] - chosen[1]) <= 3,
              "the Start menu stands on the mouse position", f"left {chosen[0]}, bottom ~{chosen[1]}",
              menus)
        wait_for(lambda: wine.window_info(start_button)["rect"] == before, 5,
                 f"the Start button back at {before}")
        expect_hook(wine, "the hook library watches the Start menu", timeout=0, start=1)

        # A click elsewhere ends the Start menu; the focus goes back to the popup's target.
        wine.start_target(title="Other", rect=OTHER)
        if not wine.menus():  # starting a window may have closed the menu: open it again
            wine.click(*INSIDE, button=3)
            wine.click(*item_centre(wine, wait_popup(wine), group=0))
            shell_log.wait(r"STARTMENU_OPEN", count=2)
        wine.click(800, 200)
        shell_log.wait(r"STARTMENU_CLOSED")
        wait_for(lambda: wine.wintool("foreground")[0] == target, 5,
                 f"the focus back on the target {target} (now {wine.wintool('foreground')})")
        expect_hook(wine, "the click ended the watch", timeout=0, start=0)


def test_right_clicks_on_the_task_tabs_bring_no_popup(session, build_dir):
    with session() as wine:
        shell, shell_log, target, target_log, pivotrix, _ = start_shell_target_pivotrix(
            wine, Enable=1, Extra=1)
        tabs = shell.group(4)
        left, top, right, bottom = wine.window_info(tabs)["rect"]
        wine.click(left + 40, (top + bottom) // 2, button=3)
        shell_log.wait(r"TABS RBUTTONUP")  # the hook ran before the tabs got it
        wait_handled(wine, pivotrix)  # no popup on the task tabs
        # Elsewhere on the taskbar the popup comes as usual.
        wine.click(*INSIDE, button=3)
        wait_popup(wine)


def test_task_switch_window_without_tabs_reports_and_goes_on(session, build_dir):
    with session() as wine:
        shell, shell_log, target, target_log, hwnd, _ = start_shell_target_pivotrix(
            wine, "--no-tabs", Enable=1, Extra=0)
        code, lines = wine.wintool("waitwindow", "#32770", "Error", 5000, ok=False)
        check(code == 0, "the error box is shown", "a visible box", lines)
        box = lines[0].split()[0]
        # The box stands before the hand-over and the install: while it is up, neither
        # has happened.
        expect_hook(wine, "no hook while the box is up", timeout=0, notify=0, tray=0)

        wine.wintool("click-button", box, 1)
        expect_hook(wine, "the hook installed once the box is closed", notify=int(hwnd, 16))
        expect_hook(wine, "taskbar handed over without task tabs", timeout=0,
                    tray=int(shell.group(1), 16), tabs=0)
        # Right clicks everywhere bring the popup, on the task-switch window too.
        tasks = wine.window_info(shell.group(3))["rect"]
        for point in (INSIDE, (tasks[0] + 40, (tasks[1] + tasks[3]) // 2)):
            wine.click(*point, button=3)
            wait_popup(wine)
            wine.click(200, 100)
            wait_for(lambda: not wine.menus(), 5, "the popup closed")


def test_wine_taskbar_start_button_is_moved_pressed_and_put_back(session, build_dir):
    with session(desktop="shell") as wine:
        wine.start_target()
        process, hwnd = start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)
        tray = wine.find_window("Shell_TrayWnd")
        start_button = wine.wintool("findchild", tray, "Button")[0]
        expect_hook(wine, f"Wine's Start button {start_button} found",
                    start_button=int(start_button, 16))
        before = wine.window_info(start_button)["rect"]

        wine.click(*INSIDE, button=3)
        chosen = item_centre(wine, wait_popup(wine), group=0)
        # Wine's taskbar reports auto-hide, so the button stays moved for about 100 ms.
        _, watch_log = wine.start_tool("rectwatch", start_button, "3000")
        watch_log.wait(r"READY")
        wine.click(*chosen)
        expect_hook(wine, "the Start menu watched", start=1)
        watch_log.wait(r"DONE", timeout=10)
        rects = [tuple(int(v) for v in e.split()[1:5]) for e in watch_log.events(r"^RECT")]
        width, height = before[2] - before[0], before[3] - before[1]
        moved = (chosen[0], chosen[1], chosen[0] + width, chosen[1] + height)
        check(rects == [before, moved, before],
              "the button moved under the cursor with its size, then put back",
              [before, moved, before], rects)
        after = wine.window_info(start_button)["rect"]
        check(after == before, "the Start button back in place", before, after)
        check(process.poll() is None, "Pivotrix still running", None, process.poll())


def test_start_cancel_and_a_stray_start_click(session, build_dir):
    with session() as wine:
        shell, shell_log, target, target_log, pivotrix, _ = start_shell_target_pivotrix(
            wine, Enable=1, Extra=0)  # its hook installed
        # With no Start menu opened from the popup, a click report changes nothing.
        other = wine.start_target(title="Other", rect=OTHER).hwnd
        wait_for(lambda: wine.wintool("foreground")[0] == other, 5, "the other window active")
        wine.post(pivotrix, UM_START_CLICK, int(target, 16) & 0xFFFF)
        wine.post(pivotrix, WM_SYSCOMMAND, IDM_EXTRA_ON)  # handled after it
        wait_ini(wine.path("run"), {"Enable": "1", "Extra": "1"})
        check(wine.wintool("foreground")[0] == other, "a stray UM_START_CLICK moves no focus",
              other, wine.wintool("foreground"))

        # Cancel leaves the start-menu state without handing the focus back.
        wine.click(*INSIDE, button=3)
        wine.click(*item_centre(wine, wait_popup(wine), group=0))
        shell_log.wait(r"STARTMENU_OPEN")
        expect_hook(wine, "watching the Start menu", timeout=0, start=1)
        wine.post(pivotrix, UM_START_CANCEL)
        expect_hook(wine, "the watch cancelled", start=0)
        wine.key("Escape")
        shell_log.wait(r"STARTMENU_CLOSED")
        wine.post(pivotrix, WM_SYSCOMMAND, IDM_EXTRA_OFF)  # handled after anything the hook
        wait_ini(wine.path("run"), {"Enable": "1", "Extra": "0"})  # posted meanwhile
        check(wine.wintool("foreground")[0] != target, "no focus handed back after a cancel",
              "not the target", wine.wintool("foreground"))


def test_close_while_the_button_is_moved_puts_it_back(session, build_dir):
    # This shell tracks its Start menu inside the press, so the press is handled only when
    # the menu closes; the button stands at the cursor meanwhile. Pivotrix does not wait for
    # it: it goes on handling messages (a setting written), and a close that arrives puts
    # the button back while the shell's menu is still open.
    with session() as wine:
        shell, shell_log, target, target_log, pivotrix, process = start_shell_target_pivotrix(
            wine, "--menu-in-press", Enable=1, Extra=0)
        start_button = shell.group(2)
        home = wine.window_info(start_button)["rect"]

        wine.click(*INSIDE, button=3)
        chosen = item_centre(wine, wait_popup(wine), group=0)
        wine.click(*chosen)
        shell_log.wait(r"STARTMENU_OPEN")
        check(wine.window_info(start_button)["rect"][:2] == chosen,
              "the button stands at the cursor while its menu is open", chosen,
              wine.window_info(start_button)["rect"])
        wine.post(pivotrix, WM_SYSCOMMAND, IDM_EXTRA_ON)
        wait_ini(wine.path("run"), {"Enable": "1", "Extra": "1"})
        wine.post(pivotrix, WM_CLOSE)
        check(process.wait(timeout=15) == 0, "Pivotrix ends with exit code 0", 0,
              process.returncode)
        check(wine.window_info(start_button)["rect"] == home, "the Start button back home",
              home, wine.window_info(start_button)["rect"])
        check(shell_log.events(r"STARTMENU_CLOSED") == [], "all that while the menu stayed open",
              [], shell_log.events(r"STARTMENU"))
        wine.key("Escape")
        shell_log.wait(r"STARTMENU_CLOSED")


def test_start_item_after_the_button_went_away_ends_the_watch(session, build_dir):
    # The Start button found at start-up is gone (a shell restarting, say): the Start item
    # can't read it, so its sequence ends at once and the hook stops watching for a Start
    # menu that never opened.
    with session() as wine:
        shell, shell_log, target, target_log, pivotrix, _ = start_shell_target_pivotrix(
            wine, Enable=1, Extra=0)  # its hook installed
        run_dir = wine.path("run")
        wine.post(shell.group(2), WM_CLOSE)  # the button's default handling destroys it
        wait_for(lambda: wine.window_info(shell.group(2)) is None, 5, "the Start button gone")

        wine.click(*INSIDE, button=3)
        choose(wine, wait_popup(wine), group=0)
        # Posted after the menu's own WM_COMMAND: once its key is written, the Start item's
        # command has been handled as well.
        wine.post(pivotrix, WM_SYSCOMMAND, IDM_EXTRA_ON)
        wait_ini(run_dir, {"Enable": "1", "Extra": "1"})
        expect_hook(wine, "the Start-menu watch ended", start=0)
        wine.click(*INSIDE, button=3)
        wait_popup(wine)


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
