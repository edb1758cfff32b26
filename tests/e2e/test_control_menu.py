"""The control menu: the commands that Pivotrix appends to its system menu switch the hook,
the popup's extra items and its size, store each choice in PIVOTRIX.INI and are honoured
at the next start; Start with Windows writes and deletes a shortcut in the Startup folder.
Commands arrive as WM_SYSCOMMAND posted from outside, and through the real system menu
opened and clicked with the mouse."""

import glob
import os
import sys

from pivotrix import (IDM_ACTIVATE, IDM_DEACTIVATE, IDM_EXTRA_OFF, IDM_EXTRA_ON, IDM_LARGE_MENU,
                      IDM_NO_START_WITH_WINDOWS, IDM_SMALL_MENU, IDM_START_WITH_WINDOWS,
                      IDM_TRIGGER_ANY, IDM_TRIGGER_CTRL, WM_SYSCOMMAND, choose_control_item,
                      close_pivotrix, control_menu_check_marks, expect_hook, hook_state,
                      ini_bytes, open_system_menu, point_at_control_item, read_ini,
                      start_pivotrix, wait_ini)
from popup import dismiss
from winenv import INSIDE, check, run_tests, wait_for

DESKTOP = (900, 100)    # on the desktop, away from the target and every popup


def right_click_popup(wine, target_log, timeout_ms=2000):
    """A real right click in the target; returns the popup's rectangle, or None when no
    popup shows within timeout_ms. The target must have seen the press either way."""
    presses = len(target_log.events(r"^RBUTTONDOWN"))
    wine.click(*INSIDE, button=3)
    target_log.wait(r"^RBUTTONDOWN", count=presses + 1)
    code, lines = wine.wintool("waitmenu", timeout_ms, ok=False)
    if code != 0:
        return None
    return tuple(int(v) for v in lines[0].split()[1:5])


def expect_popup(wine, target_log, why):
    rect = right_click_popup(wine, target_log)
    if rect is None:  # what the hook did with the click, as its shared block tells
        state = hook_state(wine)
        fields = " ".join(f"{name}={state[name]:#x}" for name in ("notify", "extra", "start",
                                                                  "trigger", "trigger_press"))
        check(False, f"a right click brings the popup ({why})", "a visible menu",
              f"none within 2 s of the target's press; the hook's block then: {fields}")
    dismiss(wine, DESKTOP)
    return rect


def expect_no_popup(wine, target_log, why):
    rect = right_click_popup(wine, target_log, timeout_ms=1000)
    check(rect is None, f"a right click brings no popup ({why})", "no menu within 1 s", rect)


def expect_check_marks(wine, hwnd, checked, keep_open=False):
    """Opens the system menu with the mouse and compares its check marks with `checked`;
    closes the menu again unless keep_open. Returns the menu's rectangle."""
    menu_rect = open_system_menu(wine, hwnd)
    marks = control_menu_check_marks(wine, menu_rect)
    expected = {command: command in checked for command in marks}
    check(marks == expected, "check marks of the control menu (by command id)", expected, marks)
    if not keep_open:
        dismiss(wine, DESKTOP)
    return menu_rect


def test_deactivate_and_activate_switch_the_hook_and_are_kept(session, build_dir):
    with session() as wine:
        target_log = wine.start_target().log
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir, Enable=1)
        expect_popup(wine, target_log, "Enable=1 at start")

        wine.post(hwnd, WM_SYSCOMMAND, IDM_DEACTIVATE)
        wait_ini(run_dir, {"Enable": "0"})
        expect_no_popup(wine, target_log, "after Deactivate")

        wine.post(hwnd, WM_SYSCOMMAND, IDM_ACTIVATE)
        wait_ini(run_dir, {"Enable": "1"})
        expect_popup(wine, target_log, "after Activate")

        # The stored value is what the next start goes by.
        wine.post(hwnd, WM_SYSCOMMAND, IDM_DEACTIVATE)
        wait_ini(run_dir, {"Enable": "0"})
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        process, hwnd = start_pivotrix(wine, run_dir)
        expect_no_popup(wine, target_log, "restart with Enable=0 stored")

        wine.post(hwnd, WM_SYSCOMMAND, IDM_ACTIVATE)
        wait_ini(run_dir, {"Enable": "1"})
        expect_popup(wine, target_log, "Activate after the restart")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        process, hwnd = start_pivotrix(wine, run_dir)
        expect_popup(wine, target_log, "restart with Enable=1 stored")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        check(read_ini(run_dir) == {"Enable": "1"}, "starting and closing write nothing",
              {"Enable": "1"}, read_ini(run_dir))


def test_enable_other_than_one_at_start_leaves_only_activate_choosable(session, build_dir):
    with session() as wine:
        target_log = wine.start_target().log
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir, Enable=7)
        expect_no_popup(wine, target_log, "Enable=7 at start")

        # Deactivate is the command of the state in force: ignored, the 7 stays. The Extra
        # command posted after it shows when it has been handled.
        wine.post(hwnd, WM_SYSCOMMAND, IDM_DEACTIVATE)
        wine.post(hwnd, WM_SYSCOMMAND, IDM_EXTRA_ON)
        wait_ini(run_dir, {"Enable": "7", "Extra": "1"})
        expect_no_popup(wine, target_log, "Deactivate with Enable=7")

        wine.post(hwnd, WM_SYSCOMMAND, IDM_ACTIVATE)
        wait_ini(run_dir, {"Enable": "1", "Extra": "1"})
        expect_popup(wine, target_log, "after Activate with Enable=7 at start")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


# The popups' sizes depend on the system's fonts and metrics, so each setting's popup is
# compared with the others' (taller, narrower, the same corner) rather than with numbers.
def test_extra_items_and_menu_size_change_the_next_popup(session, build_dir):
    with session() as wine:
        target_log = wine.start_target().log
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir, Enable=1)
        large = expect_popup(wine, target_log, "large menu, Start alone")

        def height(rect):
            return rect[3] - rect[1]

        def width(rect):
            return rect[2] - rect[0]

        wine.post(hwnd, WM_SYSCOMMAND, IDM_EXTRA_ON)
        wait_ini(run_dir, {"Enable": "1", "Extra": "1"})
        large_extra = expect_popup(wine, target_log, "large menu with the extra items")
        check(height(large_extra) > height(large) and width(large_extra) >= width(large),
              "the extra items make the large popup taller", f"taller than {large}",
              large_extra)
        check(large_extra[1] == large[1] and large_extra[2] == large[2],
              "the popup hangs from the same corner", large[1:3], large_extra[1:3])

        wine.post(hwnd, WM_SYSCOMMAND, IDM_SMALL_MENU)
        wait_ini(run_dir, {"Enable": "1", "Extra": "1", "MenuSize": "1"})
        small_extra = expect_popup(wine, target_log, "small menu with the extra items")
        check(width(small_extra) < width(large_extra) and
              height(small_extra) < height(large_extra),
              "pictures instead of texts make the popup narrower and lower",
              f"smaller than {large_extra}", small_extra)

        wine.post(hwnd, WM_SYSCOMMAND, IDM_EXTRA_OFF)
        wait_ini(run_dir, {"Enable": "1", "Extra": "0", "MenuSize": "1"})
        small = expect_popup(wine, target_log, "small menu, Start alone")
        check(height(small) < height(small_extra), "without the extra items the small popup "
              "is lower", f"lower than {small_extra}", small)
        check(width(small) < width(large) and height(small) < height(large),
              "the small Start picture makes a smaller popup than the large one",
              f"smaller than {large}", small)

        wine.post(hwnd, WM_SYSCOMMAND, IDM_LARGE_MENU)
        wait_ini(run_dir, {"Enable": "1", "Extra": "0", "MenuSize": "0"})
        again = expect_popup(wine, target_log, "large menu again")
        check(again == large, "back to the first popup", large, again)
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_settings_file_gets_only_the_changed_key(session, build_dir):
    with session() as wine:
        # No file at start: the first command creates it with its key alone.
        run_dir = wine.path("empty")
        process, hwnd = start_pivotrix(wine, run_dir)
        check(read_ini(run_dir) is None, "no file before the first command", None,
              read_ini(run_dir))
        wine.post(hwnd, WM_SYSCOMMAND, IDM_EXTRA_ON)
        wait_ini(run_dir, {"Extra": "1"})
        check(ini_bytes(run_dir).startswith(b"[PIVOTRIX]"), "the file's section",
              "[PIVOTRIX] first", ini_bytes(run_dir))
        wine.post(hwnd, WM_SYSCOMMAND, IDM_SMALL_MENU)
        wait_ini(run_dir, {"Extra": "1", "MenuSize": "1"})
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        check(read_ini(run_dir) == {"Extra": "1", "MenuSize": "1"}, "no Enable key appears",
              {"Extra": "1", "MenuSize": "1"}, read_ini(run_dir))

        # Values spelt "00" read as 0 but differ from what a write would store ("0"). Deactivate
        # for the activation in force is ignored and leaves its value; the other pairs write
        # their key for every command, the state in force too. The Small command posted last
        # shows when the others have been handled.
        run_dir = wine.path("zeros")
        process, hwnd = start_pivotrix(wine, run_dir, Enable="00", Extra="00", MenuSize="00")
        before = ini_bytes(run_dir)
        for command in (IDM_DEACTIVATE, IDM_EXTRA_OFF, IDM_LARGE_MENU, IDM_SMALL_MENU):
            wine.post(hwnd, WM_SYSCOMMAND, command)
        wait_ini(run_dir, {"Enable": "00", "Extra": "0", "MenuSize": "1"})
        expected = before.replace(b"Extra=00", b"Extra=0").replace(b"MenuSize=00", b"MenuSize=1")
        check(ini_bytes(run_dir) == expected, "the Enable line stays as it was", expected,
              ini_bytes(run_dir))
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


# The system menu of the minimized button: in the default virtual desktop Wine draws the
# minimized window as a small title bar at the bottom left of the desktop, and a left click
# on its icon opens the system menu. The items are found from the menu's separator lines,
# counted from the bottom (see point_at_control_item in pivotrix.py), and checked through
# the highlight that follows the pointer before the click.
def test_control_menu_items_chosen_with_the_mouse(session, build_dir):
    with session() as wine:
        target_log = wine.start_target().log
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir)

        # Without a file every value reads as 0: Deactivate, Disable, Large and Any right click
        # are checked; with no shortcut in the Startup folder, Don't start with Windows.
        expect_check_marks(wine, hwnd, (IDM_DEACTIVATE, IDM_EXTRA_OFF, IDM_LARGE_MENU,
                                        IDM_TRIGGER_ANY, IDM_NO_START_WITH_WINDOWS))

        choose_control_item(wine, hwnd, IDM_EXTRA_ON)
        wait_ini(run_dir, {"Extra": "1"})
        choose_control_item(wine, hwnd, IDM_SMALL_MENU)
        wait_ini(run_dir, {"Extra": "1", "MenuSize": "1"})
        choose_control_item(wine, hwnd, IDM_ACTIVATE)
        wait_ini(run_dir, {"Extra": "1", "MenuSize": "1", "Enable": "1"})
        expect_popup(wine, target_log, "Activate chosen in the system menu")
        choose_control_item(wine, hwnd, IDM_TRIGGER_CTRL)
        wait_ini(run_dir, {"Extra": "1", "MenuSize": "1", "Enable": "1", "Trigger": "1"})

        # The marks follow the choices. The item of the state in force is greyed too: a click
        # on it leaves the menu open and chooses nothing.
        menu_rect = expect_check_marks(wine, hwnd, (IDM_ACTIVATE, IDM_EXTRA_ON, IDM_SMALL_MENU,
                                                    IDM_TRIGGER_CTRL, IDM_NO_START_WITH_WINDOWS),
                                       keep_open=True)
        x, y = point_at_control_item(wine, menu_rect, IDM_EXTRA_ON)
        wine.click(x, y, button=1)
        code, lines = wine.wintool("waitnomenu", 800, ok=False)
        check(code != 0, "a click on the greyed item leaves the menu open", "menu still open",
              "closed")
        dismiss(wine, DESKTOP)

        choose_control_item(wine, hwnd, IDM_EXTRA_OFF)
        wait_ini(run_dir, {"Extra": "0", "MenuSize": "1", "Enable": "1", "Trigger": "1"})
        expect_check_marks(wine, hwnd, (IDM_ACTIVATE, IDM_EXTRA_OFF, IDM_SMALL_MENU,
                                        IDM_TRIGGER_CTRL, IDM_NO_START_WITH_WINDOWS))
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_activate_sent_while_active_does_not_install_twice(session, build_dir):
    # The menu greys Activate while the hook is on, but anyone can post the command. A
    # second install would leave a hook behind that Deactivate no longer removes.
    with session() as wine:
        target_log = wine.start_target().log
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir, Enable=1)
        before = ini_bytes(run_dir)
        wine.post(hwnd, WM_SYSCOMMAND, IDM_ACTIVATE)
        wine.post(hwnd, WM_SYSCOMMAND, IDM_ACTIVATE)
        wine.post(hwnd, WM_SYSCOMMAND, IDM_DEACTIVATE)
        wait_ini(run_dir, {"Enable": "0"})
        check(before.replace(b"Enable=1", b"Enable=0") == ini_bytes(run_dir),
              "the repeated Activate wrote nothing", before, ini_bytes(run_dir))
        expect_no_popup(wine, target_log, "Deactivate after a repeated Activate")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


# Each item is chosen with the mouse, which a greyed item ignores: the menu must show
# Start with Windows choosable with no shortcut, and Don't start choosable once the shortcut
# to this very Pivotrix is there. Started in a folder named outside the code page (1252),
# by its short 8.3 name (Wine makes them up) through a folder linked to the build's, Pivotrix
# reads its settings there and writes its long name, which the system then starts it by.
def test_start_with_windows_writes_the_startup_shortcut_and_deletes_it(session, build_dir):
    with session() as wine:
        target_log = wine.start_target().log
        run_dir = wine.path("\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac")
        os.symlink(wine.build_dir, wine.path("pivotrix-build-folder"))
        program = wine.path("pivotrix-build-folder", "Pivotrix.exe")
        short = wine.wintool("shortpath", wine.unix_to_windows(program))[0]
        check("~" in short, "a short name to start Pivotrix by", "a name with ~", short)
        process, hwnd = start_pivotrix(wine, run_dir, exe=short, Enable=1)
        expect_popup(wine, target_log, "Enable=1 read from the folder's PIVOTRIX.INI")
        startup, = glob.glob(os.path.join(wine.prefix, "drive_c", "users", "*", "AppData",
                                          "Roaming", "Microsoft", "Windows", "Start Menu",
                                          "Programs", "StartUp"))
        shortcut = os.path.join(startup, "Pivotrix.lnk")
        choose_control_item(wine, hwnd, IDM_START_WITH_WINDOWS)
        wait_for(lambda: os.path.exists(shortcut), 5, "Pivotrix.lnk in the Startup folder")
        expected = [wine.unix_to_windows(program), wine.unix_to_windows(run_dir)]
        read = [line.encode("latin-1").decode("utf-8")  # wintool writes UTF-8
                for line in wine.wintool("shortcut", wine.unix_to_windows(shortcut))]
        check(read == expected, "the shortcut's target and working directory", expected, read)
        expect_check_marks(wine, hwnd, {IDM_ACTIVATE, IDM_EXTRA_OFF, IDM_LARGE_MENU,
                                        IDM_TRIGGER_ANY, IDM_START_WITH_WINDOWS})
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)

        # Started from another directory, the shortcut starts a Pivotrix that reads the same
        # file: Enable=1 has it install the hook.
        wine.start("start", "/unix", shortcut)
        hwnd = wait_for(lambda: wine.find_window("PIVOTRIX", "Pivotrix"), 15,
                        "the Pivotrix that the shortcut started")
        expect_hook(wine, "the hook installed, as run's PIVOTRIX.INI says", notify=int(hwnd, 16))
        choose_control_item(wine, hwnd, IDM_NO_START_WITH_WINDOWS)
        wait_for(lambda: not os.listdir(startup), 5, "the Startup folder empty again")
        check(read_ini(run_dir) == {"Enable": "1"}, "no key added to the settings file",
              {"Enable": "1"}, read_ini(run_dir))


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
