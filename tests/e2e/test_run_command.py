"""scripts/run as the README gives it, from an empty build directory: without a display it
ends with its screenshot; with one (a private Xvfb), Pivotrix's button shows on Wine's
taskbar, and closing Pivotrix ends the command and its desktop."""

import os
import select
import subprocess
import sys
import tempfile
import time

from winenv import WineSession, _start_xvfb, check, run_tests, wait_for

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WM_CLOSE = 0x0010
BUILD_TIMEOUT = 420  # seconds: the x86_64 programs built from nothing on a busy machine


def run_command(build, display=None):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WINEPREFIX")}
    env["PIVOTRIX_BUILD"] = build
    if display:
        env["DISPLAY"] = display
    return subprocess.Popen([os.path.join(TOP, "scripts", "run")], env=env, text=True,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


def read_until(process, pattern, timeout):
    """The command's output up to a line holding pattern; fails when it ends before."""
    output = []
    deadline = time.monotonic() + timeout
    while not output or pattern not in output[-1]:
        ready = select.select([process.stdout], [], [], max(deadline - time.monotonic(), 0))[0]
        line = process.stdout.readline() if ready else ""
        check(line, f"scripts/run printed {pattern!r}", pattern, "".join(output[-20:]))
        output.append(line)
    return output


def test_headless_then_with_a_display(session, build_dir):
    # One empty build directory for both: the first run builds the programs (slow), and the
    # second makes its own Wine prefix, as a first run with a display does.
    number, xvfb = _start_xvfb()
    try:
        with tempfile.TemporaryDirectory(prefix="pivotrix-run-") as build:
            process = run_command(build)
            output = read_until(process, "screenshot of its desktop saved", BUILD_TIMEOUT)
            check(process.wait(timeout=30) == 0, "scripts/run ends well", 0,
                  "".join(output[-20:]))
            with open(os.path.join(build, "pivotrix-screenshot.png"), "rb") as f:
                check(f.read(8) == b"\x89PNG\r\n\x1a\n", "the screenshot is a PNG picture")

            process = run_command(build, f":{number}")
            try:
                read_until(process, "Pivotrix runs in the Wine desktop", BUILD_TIMEOUT)
                with WineSession(os.path.join(build, "win64"), None, desktop="shell",
                                 display=f":{number}",
                                 prefix=os.path.join(build, "wineprefix")) as wine:
                    hwnd = wine.find_window("PIVOTRIX", "Pivotrix")
                    button = wine.task_button(hwnd)
                    check(button and button[2] > button[0], "Pivotrix's button on the taskbar",
                          "a shown button", button)
                    # As the Close of its system menu would.
                    wine.post(hwnd, WM_CLOSE)
                    check(process.wait(timeout=30) == 0, "scripts/run ends with Pivotrix", 0,
                          process.returncode)
                    wait_for(lambda: subprocess.run(
                        ["xdotool", "search", "--name", "Wine desktop"], env=wine.env,
                        stdout=subprocess.DEVNULL).returncode != 0, 15, "the desktop's end")
            finally:
                if process.poll() is None:
                    process.kill()
    finally:
        xvfb.kill()


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
