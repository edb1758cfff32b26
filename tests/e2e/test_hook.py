"""The hook library across processes: a probe program installs the hook with its own
window, and real mouse input goes to a target window of another process."""

import sys

from pivotrix import (PROBE_HANDLES, PROBE_INSTALL, PROBE_RACE, PROBE_START_MENU, PROBE_SYNC,
                      PROBE_UNINSTALL)
from winenv import INSIDE, check, run_tests

RACE_RELEASES = 20000


def low16(hwnd):
    return int(hwnd, 16) & 0xFFFF


def start_probe_and_target(wine):
    probe, probe_log = wine.start_tool("hookprobe")
    ready = probe_log.wait(r"READY hwnd=(0x[0-9A-F]+) hook=(\d)")
    check(ready.group(2) == "1", "InstallMouseHook returns a hook handle", "1", ready.group(2))
    target = wine.start_target()
    wine.move_mouse(*INSIDE)
    return ready.group(1), probe_log, target.hwnd, target.log


def settle(wine, probe, probe_log):
    """Returns once the probe has logged every message posted to it so far: the hook posts
    before the event reaches its window, and a request posted after them is answered after
    them."""
    count = len(probe_log.events(r"^SYNC"))
    wine.post(probe, PROBE_SYNC)
    probe_log.wait(r"^SYNC", count=count + 1)


def test_right_click_requests_popup(session, build_dir):
    with session() as wine:
        probe, probe_log, target, target_log = start_probe_and_target(wine)

        # Each call reports its own event, even while another thread of the same process is
        # in the hook with moves on another window.
        wine.post(probe, PROBE_RACE, RACE_RELEASES)
        race = probe_log.wait(r"RACE releases=(\d+) wrong=(\d+) missing=(\d+) mover=(\d)",
                              timeout=90)
        check(race.groups() == (str(RACE_RELEASES), "0", "0", "1"),
              "releases raced against moves on a second thread are each reported once, "
              "with their own window and point", f"{RACE_RELEASES} 0 0 1", race.groups())

        wine.click(*INSIDE, button=3)
        target_log.wait(r"^RBUTTONUP")
        settle(wine, probe, probe_log)
        requests = probe_log.events(r"POPUP_REQUEST")
        x, y = INSIDE
        expected = f"POPUP_REQUEST w=0x{low16(target):04X} l=0x{(y << 16) | x:08X}"
        check(requests == [expected], "one request with the window's 16 bits and the point",
              [expected], requests)
        check(len(target_log.events(r"^RBUTTONDOWN")) == 1, "the press reaches the target",
              1, target_log.events())

        # The next press, anywhere, reports the click that may close the popup.
        wine.click(*INSIDE, button=1)
        probe_log.wait(r"POPUP_CLICK")
        clicks = probe_log.events(r"POPUP_CLICK")
        check(clicks == [f"POPUP_CLICK w=0x{low16(target):04X} l=0x00000000"],
              "left press after a request", "one POPUP_CLICK for the target", clicks)

        # Back in the idle state: the next right click requests again.
        wine.click(*INSIDE, button=3)
        probe_log.wait(r"POPUP_REQUEST", count=2)


def test_task_tabs_are_exempt_by_full_handle(session, build_dir):
    with session() as wine:
        probe, probe_log, target, target_log = start_probe_and_target(wine)

        wine.post(probe, PROBE_HANDLES, int(target, 16))
        probe_log.wait(r"HANDLES")
        wine.click(*INSIDE, button=3)
        wine.click(*INSIDE, button=3)
        target_log.wait(r"^RBUTTONUP", count=2)
        settle(wine, probe, probe_log)
        check(probe_log.events(r"POPUP_") == [], "right clicks on the task tabs post nothing",
              [], probe_log.events(r"POPUP_"))
        check(len(target_log.events(r"^RBUTTON(DOWN|UP)")) == 4, "and reach the tabs",
              4, target_log.events())

        # A handle equal to the target's in its low 16 bits only is another window: the
        # target's handle with bit 16 flipped, whatever its upper bits are.
        wine.post(probe, PROBE_HANDLES, int(target, 16) ^ 0x10000)
        probe_log.wait(r"HANDLES", count=2)
        wine.click(*INSIDE, button=3)
        probe_log.wait(r"POPUP_REQUEST")


def test_start_menu_state(session, build_dir):
    with session() as wine:
        probe, probe_log, target, target_log = start_probe_and_target(wine)

        wine.post(probe, PROBE_START_MENU, 1)
        probe_log.wait(r"STARTMENU 1")
        wine.click(*INSIDE, button=3)
        probe_log.wait(r"START_CLICK")
        settle(wine, probe, probe_log)
        check(target_log.events(r"RBUTTON") == [], "right press and release are swallowed",
              [], target_log.events(r"RBUTTON"))
        check(probe_log.events(r"POPUP_REQUEST") == [], "no popup while the Start menu is up",
              [], probe_log.events(r"POPUP_"))

        # The release outside a menu ended the state: a right click requests a popup again.
        wine.click(*INSIDE, button=3)
        probe_log.wait(r"POPUP_REQUEST")
        target_log.wait(r"^RBUTTONUP")
        wine.click(*INSIDE, button=1)
        probe_log.wait(r"POPUP_CLICK")

        # A left press outside any menu ends the Start menu and passes.
        wine.post(probe, PROBE_START_MENU, 1)
        probe_log.wait(r"STARTMENU 1", count=2)
        wine.click(*INSIDE, button=1)
        probe_log.wait(r"START_CLICK", count=2)
        check(probe_log.events(r"START_CLICK")[-1] == f"START_CLICK w=0x{low16(target):04X} "
              "l=0x00000000", "UM_START_CLICK names the pressed window",
              f"w=0x{low16(target):04X}", probe_log.events(r"START_CLICK"))
        target_log.wait(r"^LBUTTONDOWN", count=2)

        # Values other than 1 leave the state machine as if it were 0.
        wine.post(probe, PROBE_START_MENU, 5)
        probe_log.wait(r"STARTMENU 5")
        wine.click(*INSIDE, button=3)
        probe_log.wait(r"POPUP_REQUEST", count=2)


def test_uninstall_stops_reports(session, build_dir):
    with session() as wine:
        probe, probe_log, target, target_log = start_probe_and_target(wine)

        # A second install in the same process returns the hook already there, so that one
        # uninstall removes it.
        wine.post(probe, PROBE_INSTALL)
        again = probe_log.wait(r"INSTALL (\d)")
        check(again.group(1) == "1", "a second install returns the installed hook", "1",
              again.group(1))
        wine.post(probe, PROBE_UNINSTALL)
        uninstall = probe_log.wait(r"UNINSTALL (\d+)")
        check(uninstall.group(1) != "0", "UninstallMouseHook releases the added use",
              "non-zero", uninstall.group(1))
        wine.click(*INSIDE, button=3)
        wine.click(*INSIDE, button=1)
        target_log.wait(r"^LBUTTONUP")
        settle(wine, probe, probe_log)
        check(probe_log.events(r"POPUP_|START_") == [], "nothing is posted after uninstall",
              [], probe_log.events(r"POPUP_|START_"))

        # A second uninstall in the same process has nothing left to release.
        wine.post(probe, PROBE_UNINSTALL)
        again = probe_log.wait(r"UNINSTALL (\d+)", count=2)
        check(again.group(1) == "0", "an uninstall without an install releases nothing", "0",
              again.group(1))


def test_uninstall_in_other_process_releases_nothing(session, build_dir):
    with session() as wine:
        probe, probe_log, target, target_log = start_probe_and_target(wine)
        _, other_log = wine.start_tool("hookprobe", "--no-install")
        other = other_log.wait(r"READY hwnd=(0x[0-9A-F]+) hook=0").group(1)
        wine.post(other, PROBE_UNINSTALL)
        result = other_log.wait(r"UNINSTALL (\d+)")
        check(result.group(1) == "0", "uninstall where nothing was installed", "0",
              result.group(1))
        # The installing process still has its hook.
        wine.click(*INSIDE, button=3)
        probe_log.wait(r"POPUP_REQUEST")


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
