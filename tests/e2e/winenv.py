"""Runs Windows programs under Wine on a private Xvfb display, for the end-to-end tests.

Each WineSession has its own X display and its own copy of the base Wine prefix, so that
tests never share a wineserver; everything it started is stopped when it ends, also when
the test fails. Mouse input is real X input (xdotool) into the Wine virtual desktop.
"""

import collections
import ctypes
import os
import pwd
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

DESKTOP = "e2e"
SCREEN = (1024, 768)
LAUNCH_GAP = 0.35  # seconds between two Wine process launches
VK_CONTROL = 0x11
TARGET = (300, 200, 300, 200)  # the target window of the tests: left, top, width, height
INSIDE = (450, 300)            # a point in its client area
QUIET_WINE = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
}


class TestFailure(AssertionError):
    pass


# testwin, the window the tests click on: its process, its log, its window and its dialog
# button (--dialog; else 0x00000000).
Target = collections.namedtuple("Target", "process log hwnd child")


def check(condition, what, expected=None, actual=None):
    """Fails the test with the expected and the actual value."""
    if condition:
        return
    message = what
    if expected is not None or actual is not None:
        message += f"\n  expected: {expected}\n  actual:   {actual}"
    raise TestFailure(message)


def wait_equal(read, expected, timeout, what):
    """Waits until read() equals expected, or with timeout 0 reads once; fails with the
    expected and the last value read."""
    seen = []

    def equal():
        seen[:] = [read()]
        return seen[0] == expected
    try:
        wait_for(equal, timeout, what)
    except TestFailure:
        check(False, what, expected, seen[0] if seen else "nothing read")


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls until predicate() returns something true; returns it, or fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TestFailure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def _die_with_parent():
    # Should the test itself be killed (a CTest timeout sends SIGKILL, which runs no
    # cleanup), Xvfb goes with it; the Wine programs on its display then lose their X
    # connection and end, and wineserver follows once they are gone.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def _start_xvfb():
    """Starts Xvfb on a display number that it picks itself (-displayfd), so that sessions
    started at the same moment never share a display; returns (number, process)."""
    read_end, write_end = os.pipe()
    process = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
         "-nolisten", "tcp"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,),
        preexec_fn=_die_with_parent)
    os.close(write_end)
    with os.fdopen(read_end) as announced:
        number = announced.readline().strip()
    if not number:
        process.kill()
        raise RuntimeError("Xvfb did not start")
    return int(number), process


def make_base_prefix(path, desktop=DESKTOP):
    """Creates a Wine prefix that puts every program into the virtual desktop."""
    env = dict(os.environ, WINEPREFIX=path, **QUIET_WINE)
    env.pop("DISPLAY", None)
    subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    for args in (
        ["HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", desktop],
        ["HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", desktop, "/d",
         f"{SCREEN[0]}x{SCREEN[1]}"],
        ["HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "shell", "/d",
         f"{SCREEN[0]}x{SCREEN[1]}"],
    ):
        subprocess.run(["wine", "reg", "add", *args, "/f"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, check=True)


def copy_prefix(base, prefix):
    """A prefix of our own, quickly: the large, never-written system files are hard links;
    the registry files, which wineserver rewrites, are real copies."""
    subprocess.run(["cp", "-al", base, prefix], check=True)
    for name in os.listdir(prefix):
        if name.endswith(".reg"):
            target = os.path.join(prefix, name)
            os.unlink(target)
            shutil.copy2(os.path.join(base, name), target)


def start_menu_folders(prefix):
    """The user's and all users' Start Menu folders of a prefix, as Unix paths."""
    user = pwd.getpwuid(os.getuid()).pw_name
    return (os.path.join(prefix, "drive_c", "users", user, "AppData", "Roaming", "Microsoft",
                         "Windows", "Start Menu"),
            os.path.join(prefix, "drive_c", "ProgramData", "Microsoft", "Windows", "Start Menu"))


def write_shortcut(path, target):
    """Writes a shortcut (.lnk) to target, a Windows path in ASCII, as the shell's format
    (MS-SHLLINK) has it at its plainest: the header, then the target as a local path."""
    volume = struct.pack("<4I", 17, 3, 0, 16) + b"\0"  # a fixed drive, no label
    base = target.encode("ascii") + b"\0"
    header_size = 28
    info = struct.pack("<6I", header_size, 1, header_size, header_size + len(volume), 0,
                       header_size + len(volume) + len(base)) + volume + base + b"\0"
    link = struct.pack("<I16sII", 76, bytes.fromhex("0114020000000000c000000000000046"),
                       0x02 | 0x80, 0x20)  # link info, Unicode strings; archive attribute
    link += bytes(24) + struct.pack("<IiIHHII", 0, 0, 1, 0, 0, 0, 0)  # times, size, show
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(link + struct.pack("<I", len(info) + 4) + info + struct.pack("<I", 0))


# A few of Wine's own programs, as a Start Menu would list them (folder, name, target).
def set_attributes(path, attributes):
    """Gives a file or folder DOS attributes (FILE_ATTRIBUTE_ bits) where Wine keeps them,
    in its extended attribute "user.DOSATTRIB"."""
    os.setxattr(path, "user.DOSATTRIB", b"0x%x" % attributes)


def write_desktop_ini(folder, own_name=None, file_names=()):
    """Writes a folder's desktop.ini, hidden and system as Windows keeps it: the folder's
    own shown name (which counts once the folder is marked read-only or system) and the
    shown names of its files ((file name, shown name) pairs), in UTF-16 with its
    byte-order mark."""
    lines = ["[.ShellClassInfo]", f"LocalizedResourceName={own_name}"] if own_name else []
    if file_names:
        lines += ["[LocalizedFileNames]"] + [f"{name}={shown}" for name, shown in file_names]
    path = os.path.join(folder, "desktop.ini")
    os.makedirs(folder, exist_ok=True)
    with open(path, "wb") as f:
        f.write("\r\n".join(lines + [""]).encode("utf-16"))
    set_attributes(path, 0x2 | 0x4)


WINE_PROGRAMS = (
    ("Programs\\Accessories", "Notepad", "C:\\windows\\notepad.exe"),
    ("Programs\\Accessories", "WordPad", "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"),
    ("Programs\\Games", "Minesweeper", "C:\\windows\\system32\\winemine.exe"),
    ("Programs\\System Tools", "Registry Editor", "C:\\windows\\regedit.exe"),
)


def seed_start_menu(prefix, programs=WINE_PROGRAMS):
    """Shortcuts to programs in the prefix's all-users Start Menu; files that exist stay. The
    games' folder is named through its desktop.ini, as Windows names its own folders."""
    common = start_menu_folders(prefix)[1]
    for folder, name, target in programs:
        path = os.path.join(common, *folder.split("\\"), name + ".lnk")
        if not os.path.exists(path):
            write_shortcut(path, target)
    games = os.path.join(common, "Programs", "Games")
    if os.path.isdir(games) and not os.path.exists(os.path.join(games, "desktop.ini")):
        write_desktop_ini(games, own_name="Games and Pastimes")
        set_attributes(games, 0x10 | 0x4)  # Explorer reads a folder's own only so marked


class WineSession:
    """A private display and Wine prefix; use as a context manager."""

    def __init__(self, build_dir, base_prefix, desktop=DESKTOP, size=SCREEN, dpi=None):
        self.size = size
        self.dpi = dpi
        self.build_dir = os.path.abspath(build_dir)
        self.tools_dir = os.path.join(self.build_dir, "testtools")
        self.base_prefix = base_prefix
        self.desktop = desktop
        self.processes = []
        self.xvfb = None
        self.workdir = None
        self.last_launch = 0.0

    # --- lifetime -------------------------------------------------------------------

    def __enter__(self):
        self.workdir = tempfile.mkdtemp(prefix="pivotrix-e2e-")
        self.prefix = os.path.join(self.workdir, "prefix")
        copy_prefix(self.base_prefix, self.prefix)
        self._set_desktop(self.desktop, self.size, self.dpi)
        self.display, self.xvfb = _start_xvfb()
        self.env = dict(os.environ, WINEPREFIX=self.prefix, DISPLAY=f":{self.display}",
                        **QUIET_WINE)
        # One wintool for the whole session: a Wine process takes from a tenth of a second to
        # seconds to start, depending on the machine's load. Its first command brings up
        # wineserver and the virtual desktop before anything else: two programs that start
        # together in a new prefix can hang while both try to set it up.
        self._space_launches(background=True)
        self.wintool_errors = self.path("wintool-errors.log")
        self.wintool_server = subprocess.Popen(
            ["wine", os.path.join(self.tools_dir, "wintool.exe"), "serve"], env=self.env,
            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=open(self.wintool_errors, "wb"))
        self.processes.append(self.wintool_server)
        self.wintool_output = b""
        self.wintool("screen")
        for sig in (signal.SIGTERM, signal.SIGINT):
            signal.signal(sig, self._on_signal)
        return self

    def _set_desktop(self, name, size, dpi):
        # Edited in the registry file before Wine starts: the desktop's name and size are
        # read once, when the first program creates the desktop; a DPI (LogPixels) when each
        # program starts.
        path = os.path.join(self.prefix, "user.reg")
        with open(path, encoding="latin-1") as f:
            lines = f.read().split("\n")
        section = None
        for i, line in enumerate(lines):
            if line.startswith("["):
                section = line.split("]")[0] + "]"
            elif section == "[Software\\\\Wine\\\\Explorer]" and line.startswith('"Desktop"='):
                lines[i] = f'"Desktop"="{name}"'
            elif section == "[Software\\\\Wine\\\\Explorer\\\\Desktops]" and \
                    line.startswith(f'"{name}"='):
                lines[i] = f'"{name}"="{size[0]}x{size[1]}"'
            elif section == "[Control Panel\\\\Desktop]" and dpi and line.startswith("#time="):
                lines[i] = f'{line}\n"LogPixels"=dword:{dpi:08x}'
        with open(path, "w", encoding="latin-1") as f:
            f.write("\n".join(lines))

    def _on_signal(self, number, frame):
        self.close()
        sys.exit(128 + number)

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        if self.workdir is None:
            return
        for process in self.processes:
            if process.poll() is None:
                process.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        shutil.rmtree(self.workdir, ignore_errors=True)
        self.workdir = None

    # --- programs -------------------------------------------------------------------

    def _space_launches(self, background=False):
        # Two Wine processes that start within the same instant sometimes hang for good
        # (seen with any pair of programs); a short gap after each program started in the
        # background avoids it. Foreground runs end before the next launch.
        wait = self.last_launch + LAUNCH_GAP - time.monotonic()
        if wait > 0:
            time.sleep(wait)
        if background:
            self.last_launch = time.monotonic()

    def path(self, *parts):
        return os.path.join(self.workdir, *parts)

    def unix_to_windows(self, path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def start(self, exe, *args, cwd=None, env=None, stderr_path=None):
        """Starts a Windows program in the background; returns its Popen. env adds to the
        session's environment (WINEDEBUG, say); stderr_path keeps what Wine writes there."""
        self._space_launches(background=True)
        errors = open(stderr_path, "w") if stderr_path else subprocess.DEVNULL
        process = subprocess.Popen(["wine", exe, *args], cwd=cwd or self.workdir,
                                   env=dict(self.env, **(env or {})),
                                   stdout=subprocess.DEVNULL, stderr=errors)
        if stderr_path:
            errors.close()
        self.processes.append(process)
        return process

    def start_notepad(self, rect=(300, 200, 400, 300)):
        """Starts Wine's Notepad, placed at rect (left, top, width, height) and in front;
        returns its window."""
        self.start("notepad.exe")
        notepad = wait_for(lambda: self.find_window("Notepad"), 15, "Notepad's window")
        self.wintool("move", notepad, *rect)
        wait_for(lambda: self.wintool("foreground")[0] == notepad, 5, "Notepad in front")
        return notepad

    def start_target(self, *options, title="Target", rect=TARGET):
        """Starts testwin with its log at rect (left, top, width, height), with testwin's
        other options; returns a Target once its window is up."""
        process, log = self.start_tool("testwin", "--title", title, "--pos",
                                       *[str(v) for v in rect], *options)
        ready = log.wait(r"READY hwnd=(0x[0-9A-F]+) child=(0x[0-9A-F]+)")
        return Target(process, log, ready.group(1), ready.group(2))

    def wine_quiet(self, args):
        self._space_launches()
        subprocess.run(["wine", *args], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)

    def start_tool(self, name, *args, log=None):
        """Starts one of the test programs with a log file; returns (Popen, Log)."""
        log_path = self.path(f"{name}-{len(self.processes)}.log")
        open(log_path, "w").close()
        exe = os.path.join(self.tools_dir, f"{name}.exe")
        if not os.path.exists(exe):
            exe = os.path.join(self.build_dir, f"{name}.exe")
        process = self.start(exe, *args, "--log", self.unix_to_windows(log_path))
        return process, Log(log_path)

    def run_tool(self, name, *args, ok=True, timeout=20):
        """Runs one of the test programs to its end; returns its output lines (fails when
        ok and it did not exit 0), or (exit code, lines) when not ok."""
        self._space_launches()
        result = subprocess.run(["wine", os.path.join(self.tools_dir, f"{name}.exe"),
                                 *[str(a) for a in args]],
                                env=self.env, capture_output=True, text=True, timeout=timeout)
        lines = [line.rstrip("\r") for line in result.stdout.splitlines() if line.strip()]
        if ok:
            check(result.returncode == 0, f"{name} {' '.join(map(str, args))} failed",
                  "exit code 0", f"{result.returncode} {lines} {result.stderr.strip()}")
        return lines if ok else (result.returncode, lines)

    def wintool(self, *args, ok=True, timeout=30):
        """Runs a wintool command in the session's wintool; returns its output lines (fails
        when ok and it did not exit 0), or with ok=False (exit code, lines)."""
        command = " ".join(map(str, args))
        self.wintool_server.stdin.write(("\t".join(map(str, args)) + "\n").encode("latin-1"))
        self.wintool_server.stdin.flush()
        deadline = time.monotonic() + timeout
        while not re.search(rb"(^|\n)END -?\d+\r?\n", self.wintool_output):
            remaining = deadline - time.monotonic()
            ready = select.select([self.wintool_server.stdout], [], [], max(remaining, 0))[0]
            chunk = os.read(self.wintool_server.stdout.fileno(), 65536) if ready else b""
            if not chunk:
                raise TestFailure(f"wintool {command}: no answer within {timeout} s "
                                  f"(exit code {self.wintool_server.poll()})")
            self.wintool_output += chunk
        end = re.search(rb"(^|\n)END (-?\d+)\r?\n", self.wintool_output)
        text = self.wintool_output[:end.start(2) - 4].decode("latin-1")
        self.wintool_output = self.wintool_output[end.end():]
        code = int(end.group(2))
        lines = [line.rstrip("\r") for line in text.splitlines() if line.strip()]
        if ok:
            with open(self.wintool_errors, encoding="latin-1") as f:
                errors = f.read().strip().splitlines()[-1:]
            check(code == 0, f"wintool {command} failed", "exit code 0", f"{code} {lines} {errors}")
        return lines if ok else (code, lines)

    def find_window(self, class_name, title=None):
        args = ["find", class_name] + ([title] if title is not None else [])
        code, lines = self.wintool(*args, ok=False)
        return lines[0] if code == 0 and lines else None

    def window_info(self, hwnd):
        """Dict of a window's class, styles, state and screen rectangle, or None."""
        code, lines = self.wintool("info", hwnd, ok=False)
        if code != 0 or not lines:
            return None
        f = lines[0].split()
        return {
            "hwnd": f[0], "class": f[1], "style": int(f[2], 16), "exstyle": int(f[3], 16),
            "iconic": f[4] == "1", "zoomed": f[5] == "1", "visible": f[6] == "1",
            "rect": tuple(int(v) for v in f[7:11]),
        }

    def menus(self):
        """Rectangles of the visible "#32768" menu windows."""
        code, lines = self.wintool("menus", ok=False)
        if code != 0:
            return []
        return [tuple(int(v) for v in line.split()[1:5]) for line in lines]

    def post(self, hwnd, message, wparam=0, lparam=0):
        self.wintool("post", hwnd, message, wparam, lparam)

    def send(self, hwnd, message, wparam=0, lparam=0):
        return int(self.wintool("send", hwnd, message, wparam, lparam)[0])

    # --- mouse ----------------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], env=self.env, check=True)

    def move_mouse(self, x, y):
        self.xdotool("mousemove", x, y)
        time.sleep(0.05)

    def click(self, x, y, button=1):
        """A real press and release at (x, y): button 1 left, 3 right."""
        self.move_mouse(x, y)
        self.xdotool("mousedown", button)
        time.sleep(0.05)
        self.xdotool("mouseup", button)
        time.sleep(0.05)

    def key(self, name):
        self.xdotool("key", name)

    def ctrl_click(self, x, y, button=3):
        """A real click at (x, y) with Ctrl held; Ctrl goes down, and up again, before and
        after the click as the programs see it."""
        self.move_mouse(x, y)
        self.xdotool("keydown", "ctrl")
        wait_for(lambda: self.wintool("key", VK_CONTROL) == ["1"], 5, "Ctrl down")
        self.xdotool("mousedown", button)
        time.sleep(0.05)
        self.xdotool("mouseup", button)
        self.xdotool("keyup", "ctrl")
        wait_for(lambda: self.wintool("key", VK_CONTROL) == ["0"], 5, "Ctrl up")

    def screenshot(self, png_path):
        subprocess.run(["import", "-window", "root", png_path], env=self.env, check=True)


class Log:
    """Lines that a test program appends to its log file: "<ms> EVENT args"."""

    def __init__(self, path):
        self.path = path

    def lines(self):
        with open(self.path, encoding="latin-1") as f:
            return [line.rstrip("\r\n") for line in f if line.strip()]

    def events(self, pattern=None):
        """Log lines without their time stamps, optionally only those matching pattern."""
        events = [line.split(" ", 1)[1] if " " in line else line for line in self.lines()]
        if pattern is None:
            return events
        return [e for e in events if re.search(pattern, e)]

    def wait(self, pattern, timeout=10, count=1):
        """Waits until `count` lines match pattern; returns the last match's groups/line."""
        def found():
            matches = [re.search(pattern, e) for e in self.events()]
            matches = [m for m in matches if m]
            return matches[count - 1] if len(matches) >= count else None
        return wait_for(found, timeout, f"log line /{pattern}/ in {os.path.basename(self.path)}"
                        f" (have: {self.events()[-8:]})")


def run_tests(namespace, argv=None):
    """Runs the test_ functions of a test file (its globals(), in the order they are defined;
    each takes the session factory and the build directory) and reports like a runner."""
    tests = [value for name, value in namespace.items()
             if name.startswith("test_") and callable(value)]
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--base-prefix", required=True)
    parser.add_argument("--only")
    args = parser.parse_args(argv)

    def session(desktop=DESKTOP, size=SCREEN, dpi=None):
        return WineSession(args.build_dir, args.base_prefix, desktop, size, dpi)

    passed = failed = 0
    for test in tests:
        if args.only and args.only != test.__name__:
            continue
        started = time.monotonic()
        try:
            test(session, args.build_dir)
        except Exception as error:  # report every failure with what was expected
            failed += 1
            print(f"FAIL {test.__name__} ({time.monotonic() - started:.1f} s): {error}",
                  flush=True)
        else:
            passed += 1
            print(f"ok   {test.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0
