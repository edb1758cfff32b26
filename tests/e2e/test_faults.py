"""Pivotrix under faults: killed outright, flooded with right clicks, started on hostile,
unwritable or unreachable settings files. Each time the other programs keep their mouse
input, the program goes on or starts again normally, and nothing is written that the user
did not choose."""

import os
import subprocess
import sys

from pivotrix import (IDM_ACTIVATE, IDM_EXTRA_ON, IDM_SMALL_MENU, WM_NULL, WM_SYSCOMMAND,
                      close_pivotrix, expect_hook, hook_state, ini_bytes, read_ini,
                      start_pivotrix, wait_handled, wait_ini)
from popup import dismiss, popup_groups, wait_popup
from winenv import INSIDE, check, run_tests, wait_for

TARGET_CORNER = (340, 230)  # in the target, away from the popups that open at INSIDE
ELSEWHERE = (900, 700)
SMALL_WIDTH = 70  # pixels: the small popup is about 52 wide, the large one 93 or more


def start_hooked(wine, run_dir, hooked=True, **ini):
    """Starts Pivotrix; checks that its start-up installed the hook, or not."""
    process, hwnd = start_pivotrix(wine, run_dir, hooked=hooked, **ini)
    notify = hook_state(wine)["notify"]
    check((notify == int(hwnd, 16)) == hooked, "the hook installed at start-up" if hooked else
          "no hook installed at start-up", hwnd if hooked else "another window", hex(notify))
    return process, hwnd


def expect_popup_shape(wine, shape, what):
    """A real right click in the target; checks (groups, small) of the popup it brings."""
    wine.click(*INSIDE, button=3)
    rect = wait_popup(wine)
    seen = (len(popup_groups(wine, rect)), rect[2] - rect[0] < SMALL_WIDTH)
    dismiss(wine, ELSEWHERE)
    check(seen == shape, f"{what}: the popup's groups and whether it is small", shape,
          f"{seen}, the popup at {rect}")


def test_killed_outright_with_a_popup_request_outstanding(session, build_dir):
    with session() as wine:
        target_log = wine.start_target().log
        process, hwnd = start_hooked(wine, wine.path("run"), Enable=1)
        wine.click(*INSIDE, button=3)
        wait_popup(wine)
        expect_hook(wine, "a popup request is outstanding", timeout=0, extra=1)
        process.kill()  # SIGKILL: nothing of Pivotrix's runs any more
        process.wait(timeout=10)
        wait_for(lambda: wine.find_window("PIVOTRIX") is None, 10, "Pivotrix's window gone")

        # The system removed the hook with its thread: right clicks reach the target whole.
        for count in (2, 3):
            wine.click(*INSIDE, button=3)
            target_log.wait(r"^RBUTTONUP", count=count)
            check(len(target_log.events(r"^RBUTTONDOWN")) == count, "the target gets the press",
                  count, target_log.events(r"^RBUTTON"))
        check(wine.menus() == [], "no popup without Pivotrix", [], wine.menus())

        process, hwnd = start_hooked(wine, wine.path("run"))
        expect_popup_shape(wine, (1, False), "a fresh start brings the popup")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_a_flood_of_right_clicks(session, build_dir):
    with session() as wine:
        target_log = wine.start_target().log
        process, hwnd = start_hooked(wine, wine.path("run"), Enable=1)
        wine.move_mouse(*INSIDE)
        wine.xdotool("click", "--repeat", 200, "--delay", 5, 3)
        # Wine reads each window's X input in that window's own process, and while a popup is
        # tracked the pointer's X input goes to Pivotrix's process instead (the menu grabs
        # the pointer), so the flood is split between the two, and a click after it may be
        # handled before the target has caught up, or be taken by an open popup. So the end
        # of the flood is made sure of first: a key press goes to the target's own X input
        # after all of its share (the keyboard is not grabbed), and a message sent to
        # Pivotrix is answered once it has read all of its X input.
        wine.key("shift")
        target_log.wait(r"^KEYDOWN 16$", timeout=90)  # Wine takes a while for 400 events
        wine.send(hwnd, WM_NULL)
        # Then a click away from the popup closes it, or cancels it while it is queued.
        wine.click(*TARGET_CORNER)
        wait_for(lambda: not wine.menus(), 10, "no popup left after the click")
        wait_handled(wine, hwnd)  # no popup left, none to come
        expect_popup_shape(wine, (1, False), "the next right click brings the popup")
        check(close_pivotrix(wine, process, hwnd) == 0, "WM_CLOSE ends it with exit code 0", 0,
              process.returncode)


# Each file is read as the profile functions hand its values over (keys and sections in
# any letter case, white space around a value dropped, a file that starts with FF FE taken
# as UTF-16), and of each value only the first character counts.
BIG = b"".join(b"[Other%06d]\r\nKey=%s\r\n" % (i, b"v" * 40) for i in range(180000))
HOSTILE = [  # name, bytes, hook installed, (groups, small popup) when installed
    ("letter cases", b"[pivotrix]\r\nENABLE=1\r\nextra=1\r\nMENUSIZE=1\r\n", True, (4, True)),
    ("text after a digit, signs, blanks",
     b"[PIVOTRIX]\r\nEnable=1abc\r\nExtra=-1\r\nMenuSize= 1\r\n", True, (1, True)),
    ("numbers too large for 32 bits",
     b"[PIVOTRIX]\r\nEnable=1\r\nExtra=99999999999\r\nMenuSize=99999999999\r\n", True,
     (1, True)),
    ("bytes that are not text",
     b"\x80\xff\x00\x01\r\n[PIVOTRIX]\r\nEnable=1\x00\r\nExtra=\x80\xff\x01\r\nMenuSize=\x01\r\n",
     True, (1, False)),
    ("a UTF-16 mark before ANSI text", b"\xff\xfe[PIVOTRIX]\r\nEnable=1\r\n", False, None),
    ("no section", b"Enable=1\r\nExtra=1\r\n[OTHER]\r\nEnable=1\r\n", False, None),
    ("10 MiB", BIG + b"[PIVOTRIX]\r\nEnable=1\r\nExtra=1\r\nMenuSize=0\r\n", True, (4, False)),
]


def test_hostile_settings_files_are_read_and_never_rewritten(session, build_dir):
    with session() as wine:
        wine.start_target()
        for index, (name, content, installed, shape) in enumerate(HOSTILE):
            run_dir = wine.path(f"hostile-{index}")
            os.makedirs(run_dir)
            with open(os.path.join(run_dir, "PIVOTRIX.INI"), "wb") as f:
                f.write(content)
            process, hwnd = start_hooked(wine, run_dir, hooked=installed)
            if installed:
                expect_popup_shape(wine, shape, name)
            check(close_pivotrix(wine, process, hwnd) == 0, f"{name}: exit code", 0,
                  process.returncode)
            after = ini_bytes(run_dir)
            check(after == content, f"{name}: the file's bytes after a start and a close",
                  f"the {len(content)} bytes written",
                  after if after is None or len(after) < 200 else f"{len(after)} other bytes")


def choose_in_memory(wine, hwnd):
    """Activate, window commands and the small menu, where none can be stored: each takes
    effect all the same, without a message box."""
    for command in (IDM_ACTIVATE, IDM_EXTRA_ON, IDM_SMALL_MENU):
        wine.post(hwnd, WM_SYSCOMMAND, command)
    expect_hook(wine, "Activate installs the hook", notify=int(hwnd, 16))
    expect_popup_shape(wine, (4, True), "the small popup with window commands")
    check(wine.find_window("#32770") is None, "no message box", None,
          wine.find_window("#32770"))


def test_unwritable_settings_file_changes_only_memory(session, build_dir):
    with session() as wine:
        wine.start_target()

        # A directory where the file should be.
        run_dir = wine.path("directory")
        os.makedirs(os.path.join(run_dir, "PIVOTRIX.INI"))
        process, hwnd = start_pivotrix(wine, run_dir)
        choose_in_memory(wine, hwnd)
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        check(os.listdir(os.path.join(run_dir, "PIVOTRIX.INI")) == [],
              "the directory stays empty", [], os.listdir(os.path.join(run_dir, "PIVOTRIX.INI")))

        # A file that can't be written (immutable: even root may not write it).
        run_dir = wine.path("immutable")
        os.makedirs(run_dir)
        path = os.path.join(run_dir, "PIVOTRIX.INI")
        with open(path, "wb") as f:
            f.write(b"[PIVOTRIX]\r\nEnable=0\r\n")
        subprocess.run(["chattr", "+i", path], check=True)
        try:
            process, hwnd = start_pivotrix(wine, run_dir)
            choose_in_memory(wine, hwnd)
            check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
            check(ini_bytes(run_dir) == b"[PIVOTRIX]\r\nEnable=0\r\n", "the file as it was",
                  "unchanged", ini_bytes(run_dir))
        finally:
            subprocess.run(["chattr", "-i", path], check=True)


def test_startup_directory_too_long_for_its_buffer(session, build_dir):
    # The directory is kept in 256 characters; a longer one leaves it empty, and the file
    # goes to the root of the current drive. Drive P: is mapped to a directory of the test's
    # own, so that its root is one the test can look into.
    with session() as wine:
        wine.start_target()
        drive = wine.path("drive-p")
        os.makedirs(drive)
        os.symlink(drive, os.path.join(wine.prefix, "dosdevices", "p:"))
        name = "d" * (256 - len("P:\\"))
        run_dir = os.path.join(drive, name)
        os.makedirs(run_dir)
        process, hwnd = start_pivotrix(wine, run_dir)
        wine.post(hwnd, WM_SYSCOMMAND, IDM_ACTIVATE)
        wait_ini(drive, {"Enable": "1"})
        expect_hook(wine, "Activate installs the hook", notify=int(hwnd, 16))
        expect_popup_shape(wine, (1, False), "the popup works")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        check(os.listdir(run_dir) == [] and read_ini(drive) == {"Enable": "1"},
              "only the drive root's file was written", {"Enable": "1"},
              (os.listdir(run_dir), read_ini(drive)))


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
