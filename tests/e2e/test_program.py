"""The menu program's life: start-up as a minimized button, settings read at start,
the hook installed after start-up and gone after close."""

import os
import subprocess
import sys

from pivotrix import (SC_RESTORE, TIMER_POPUP, UM_POPUP_NOW, WM_SYSCOMMAND, WM_TIMER,
                      WM_WININICHANGE, close_pivotrix, expect_hook, hook_state, ini_bytes,
                      start_pivotrix, wait_handled, write_ini)
from winenv import INSIDE, check, run_tests, wait_for

ELSEWHERE = (900, 100)


def test_starts_minimized_writes_nothing_and_closes(session, build_dir):
    with session() as wine:
        run_dir = wine.path("empty")
        process, hwnd = start_pivotrix(wine, run_dir)
        info = wait_for(lambda: (i := wine.window_info(hwnd)) and i["iconic"] and i, 5,
                        "a minimized window")
        check(info["visible"], "the minimized window is shown as a button", True, info)
        wine.post(hwnd, WM_SYSCOMMAND, SC_RESTORE)
        wait_handled(wine, hwnd)
        info = wine.window_info(hwnd)
        check(info["iconic"], "restoring leaves the window minimized", "iconic", info)
        check(process.poll() is None, "still running after restore", None, process.poll())
        check(os.listdir(run_dir) == [], "no file is written", [], os.listdir(run_dir))
        code = close_pivotrix(wine, process, hwnd)
        check(code == 0, "exit code after WM_CLOSE", 0, code)
        check(os.listdir(run_dir) == [], "still no file after closing", [], os.listdir(run_dir))


def test_unknown_timer_and_settings_notice_change_nothing(session, build_dir):
    with session() as wine:
        process, hwnd = start_pivotrix(wine, wine.path("run"))
        wine.post(hwnd, WM_TIMER, 2)              # an id that is not ours
        wine.send(hwnd, WM_WININICHANGE, 0, 0)  # without a section
        wine.post(hwnd, UM_POPUP_NOW + 1)       # a private number the window does not handle
        wait_handled(wine, hwnd)
        check(process.poll() is None, "still running", None, process.poll())
        # One of its own timers that is not running can't be killed: the program ends as
        # through its close.
        wine.post(hwnd, WM_TIMER, TIMER_POPUP)
        try:
            code = process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 0, "a timer that can't be killed ends the program", 0, code)
        wait_for(lambda: wine.window_info(hwnd) is None, 10, "Pivotrix's window gone")


# The hook is observed through the library's shared block (hook_state): InstallMouseHook
# stores the notification window there, and a hook that runs sets the extra-menu state on a
# right click in any process. After close, a right click must leave that state at 0: no
# hook runs anywhere. (Ending the process would remove its hook as well; what this shows is
# that no hook outlives the program.)
def test_enable_installs_hook_after_startup_and_close_removes_it(session, build_dir):
    with session() as wine:
        target = wine.start_target()
        expect_hook(wine, "no hook before start", timeout=0, notify=0)

        # start_pivotrix awaits InstallMouseHook with Pivotrix's window.
        process, hwnd = start_pivotrix(wine, wine.path("run"), Enable=1)
        wine.click(*INSIDE, button=3)
        expect_hook(wine, "the hook to see the right click", extra=1)
        wine.click(*ELSEWHERE, button=1)  # closes the popup
        expect_hook(wine, "the press that closes the popup to end the request", extra=0)

        code = close_pivotrix(wine, process, hwnd)
        check(code == 0, "exit code after WM_CLOSE", 0, code)
        wine.click(*INSIDE, button=3)
        target.log.wait(r"^RBUTTONUP", count=2)  # a hook would have run before it
        expect_hook(wine, "no hook runs after Pivotrix closed", timeout=0, extra=0)


def test_stored_values_other_than_one_install_nothing(session, build_dir):
    with session() as wine:
        for stored in ("7", "yes", "0"):
            process, hwnd = start_pivotrix(wine, wine.path(f"run-{stored}"), Enable=stored)
            state = hook_state(wine)
            check(state["notify"] != int(hwnd, 16), f"Enable={stored} installs no hook",
                  "another window", state)
            check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)
        process, hwnd = start_pivotrix(wine, wine.path("run-10"), Enable="10", hooked=False)
        expect_hook(wine, "Enable=10 reads as 1 and installs the hook", notify=int(hwnd, 16))
        close_pivotrix(wine, process, hwnd)


def test_second_start_leaves_the_running_one_in_charge(session, build_dir):
    with session() as wine:
        wine.start_target()
        first_dir, second_dir = wine.path("first"), wine.path("second")
        process, hwnd = start_pivotrix(wine, first_dir, Enable=1)  # its hook installed
        os.makedirs(second_dir)
        write_ini(second_dir, Enable=1, Extra=1)
        files = {d: ini_bytes(d) for d in (first_dir, second_dir)}

        second = wine.start(os.path.join(wine.build_dir, "Pivotrix.exe"), cwd=second_dir)
        try:
            code = second.wait(timeout=15)
        except subprocess.TimeoutExpired:
            code = "still running"
        check(code == 0, "the second start ends at once", 0, code)
        expect_hook(wine, "the first start's hook still reports to it", timeout=0,
                    notify=int(hwnd, 16))
        after = {d: ini_bytes(d) for d in files}
        check(after == files, "no settings file changes", files, after)
        wine.click(*INSIDE, button=3)
        wait_for(wine.menus, 5, "the running one's popup")
        wine.click(*ELSEWHERE, button=1)
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
