"""The taskbar and the Start item: each shell's taskbar found, its task list left to the
shell, on the classic taskbar the Start button moved under the cursor, pressed there and
put back, and elsewhere Pivotrix's own Start menu opened at the cursor. Checked against
Wine's own taskbar and against fakeshell, a test program that builds each shell's layout
of taskbar windows (its Start button opens a menu next to wherever the button is at the
moment of the press)."""

import os
import sys

from pivotrix import (LB_GETCOUNT, UM_START_CANCEL, UM_START_CLICK, WM_CLOSE, WM_NULL,
                      expect_hook, start_pivotrix, wait_handled)
from popup import (choose, dismiss, item_centre, open_find_box, open_own_start_menu,
                   wait_popup)
from winenv import (INSIDE, check, run_tests, set_attributes, start_menu_folders, wait_for,
                    write_desktop_ini, write_shortcut)

OTHER = (650, 100, 300, 200)  # a second window, beside the target
NOTEPAD, REGEDIT = "C:\\windows\\notepad.exe", "C:\\windows\\regedit.exe"
WINEMINE = "C:\\windows\\system32\\winemine.exe"


READY = (r"READY tray=(?P<tray>\S+) start=(?P<start>\S+) tasksw=(?P<tasksw>\S+) "
         r"tabs=(?P<tabs>\S+) buttons=(?P<buttons>\S+) second=(?P<second>\S+) click=(?P<click>\S+)")
# The layouts of fakeshell, one for each way a shell builds its taskbar.
TASK_LIST_MISSING = ("Can't find hWnd to 'SysTabControl32'!, which means that 'Pivotrix' also "
                     "pops up on icons in SystemTaskBar.")
LAYOUTS = ("classic", "rebar", "xp", "win7", "win10", "win11", "secondary", "wine")


def start_shell(wine, *shell_args):
    """Starts fakeshell; returns (its READY line's match, its log). What the tests take for
    granted of it is made sure of here, as a failure of the set-up: its taskbar is the first
    of its class among the windows (the newest stands first), and with --shell-window its
    hidden window became the shell's desktop window."""
    _, shell_log = wine.start_tool("fakeshell", *shell_args)
    ready = shell_log.wait(READY)
    if "--shell-window" in shell_args:
        check(shell_log.events(r"SHELL_WINDOW") == ["SHELL_WINDOW 1"],
              "set-up: SetShellWindow took fakeshell's window", ["SHELL_WINDOW 1"],
              shell_log.events(r"SHELL_WINDOW"))
    first = wine.find_window("Shell_TrayWnd")
    check(first == ready.group("tray"), "set-up: the newest fakeshell's taskbar is the first "
          "one found", ready.group("tray"), first)
    return ready, shell_log


def start_shell_target_pivotrix(wine, *shell_args, **ini):
    shell, shell_log = start_shell(wine, *shell_args)
    target = wine.start_target()
    # Without task tabs the start-up stops at its error box: no waiting for its end then.
    process, hwnd = start_pivotrix(wine, wine.path("run"), settled="no-tabs" not in shell_args,
                                   **ini)
    return shell, shell_log, target.hwnd, hwnd, process


def expect_taskbar(wine, shell, what):
    """The shared block holds the taskbar of fakeshell's READY line."""
    expect_hook(wine, what, **{field: int(shell.group(name), 16) for field, name in (
        ("tray", "tray"), ("start_button", "start"), ("tabs", "tabs"), ("buttons", "buttons"),
        ("list1", "second"))})


def right_click_on_task_list(wine, shell, shell_log):
    """A right click on the window of the shell's task list or task buttons, which the hook
    leaves to the shell: once the shell has the release, no popup was requested."""
    left, top, right, bottom = wine.window_info(shell.group("click"))["rect"]
    count = len(shell_log.events(r"TASKS RBUTTONUP"))
    wine.click(left + 40, (top + bottom) // 2, button=3)
    shell_log.wait(r"TASKS RBUTTONUP", count=count + 1)  # the hook ran before the shell got it
    expect_hook(wine, "no popup requested for the task list", timeout=0, extra=0)


def test_start_opens_the_shells_menu_at_the_mouse(session, build_dir):
    with session() as wine:
        shell, shell_log, target, _, _ = start_shell_target_pivotrix(wine, Enable=1, Extra=0)
        start_button = shell.group("start")
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
        wait_for(wine.menus, 5, "the shell's Start menu")
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


def test_each_shells_task_list_is_left_to_the_shell(session, build_dir):
    # One shell after another, each restarted with another layout as a restarted shell
    # builds its taskbar anew and announces it: Pivotrix finds every one without an error
    # box, leaves right clicks on its task list to it and brings the popup elsewhere.
    # Ending on a classic layout after Wine's, the Start item then presses the new button.
    with session() as wine:
        shell, shell_log, *_ = start_shell_target_pivotrix(wine, "--layout", LAYOUTS[0], Enable=1,
                                                            Extra=0)
        for layout in LAYOUTS + ("rebar",):
            if layout != LAYOUTS[0]:
                wine.post(shell.group("tray"), WM_CLOSE)
                shell_log.wait(r"DESTROY")
                shell, shell_log = start_shell(wine, "--layout", layout)
            expect_taskbar(wine, shell, f"the {layout} taskbar handed to the library")
            check(wine.find_window("#32770") is None, f"{layout}: no error box", None,
                  wine.find_window("#32770"))
            right_click_on_task_list(wine, shell, shell_log)
            wine.click(*INSIDE, button=3)
            wait_popup(wine)
            dismiss(wine, (200, 100))

        wine.click(*INSIDE, button=3)
        chosen = item_centre(wine, wait_popup(wine), group=0)
        wine.click(*chosen)
        opened = shell_log.wait(r"STARTMENU_OPEN (-?\d+) (-?\d+)")
        check((int(opened.group(1)), int(opened.group(2))) == chosen,
              "the restarted shell's Start button pressed at the mouse", chosen, opened.groups())


def test_the_shells_own_taskbar_is_taken_before_another_programs(session, build_dir):
    # Another program's bar of the taskbar's class stands first among the windows; the
    # shell's own is the one of the process whose window is the shell's desktop.
    with session() as wine:
        shell, _ = start_shell(wine, "--shell-window")
        start_shell(wine, "--layout", "wine")  # its bar now first among the windows
        start_pivotrix(wine, wine.path("run"), Enable=1)
        expect_taskbar(wine, shell, "the shell's own taskbar handed to the library")


def test_task_switch_window_without_tabs_reports_and_goes_on(session, build_dir):
    with session() as wine:
        shell, _, _, hwnd, _ = start_shell_target_pivotrix(wine, "--layout", "no-tabs", Enable=1,
                                                           Extra=0)
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
        tasks = wine.window_info(shell.group("tasksw"))["rect"]
        for point in (INSIDE, (tasks[0] + 40, (tasks[1] + tasks[3]) // 2)):
            wine.click(*point, button=3)
            wait_popup(wine)
            wine.click(200, 100)
            wait_for(lambda: not wine.menus(), 5, "the popup closed")


def test_a_flood_of_announcements_without_a_task_list_opens_one_box(session, build_dir):
    # A shell whose task-switch window holds no known list announces its taskbar 50 times:
    # the first reading opens the box, the others are read in its own message loop.
    with session() as wine:
        wine.start_target()
        _, pivotrix = start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)
        start_shell(wine, "--layout", "no-tabs", "--announce", "50")
        code, lines = wine.wintool("waitwindow", "#32770", "Error", 5000, ok=False)
        check(code == 0, "the error box is shown", "a visible box", lines)
        box = lines[0].split()[0]
        texts = [" ".join(wine.wintool("text", line.split()[0]))
                 for line in wine.wintool("children", box) if line.split()[1] == "Static"]
        check(texts[-1:] == [TASK_LIST_MISSING], "the box's text", TASK_LIST_MISSING, texts)
        wait_handled(wine, pivotrix)  # every announcement read, and the popup still comes
        wine.wintool("click-button", box, 1)
        wait_for(lambda: wine.find_window("#32770", "Error") is None, 5,
                 f"no box left once the one box is closed (have {wine.find_window('#32770')})")
        wine.click(*INSIDE, button=3)
        wait_popup(wine)


def test_a_taskbar_announced_while_the_button_is_moved(session, build_dir):
    # This shell announces its taskbar each time its Start button moves, so it is read again
    # while the button stands at the mouse: the sequence still puts it back, and the next
    # Start item presses it at the mouse again.
    with session() as wine:
        shell, shell_log, *_ = start_shell_target_pivotrix(wine, "--announce-on-move", Enable=1,
                                                            Extra=0)
        start_button = shell.group("start")
        home = wine.window_info(start_button)["rect"]
        for count, point in enumerate((INSIDE, (520, 260)), 1):
            wine.click(*point, button=3)
            chosen = item_centre(wine, wait_popup(wine), group=0)
            wine.click(*chosen)
            opened = shell_log.wait(r"STARTMENU_OPEN (-?\d+) (-?\d+)", count=count)
            check(tuple(map(int, opened.groups())) == chosen, "the shell's menu at the mouse",
                  chosen, opened.groups())
            shell_log.wait(r"START MOVED", count=2 * count)  # there and back, each announced
            wait_for(lambda: wine.window_info(start_button)["rect"] == home, 5,
                     f"the Start button back at {home} (at {wine.window_info(start_button)})")
            wine.click(800, 150)
            shell_log.wait(r"STARTMENU_CLOSED", count=count)
        expect_taskbar(wine, shell, "the taskbar as read last")


def test_on_wines_taskbar_the_start_item_opens_pivotrixs_own_start_menu(session, build_dir):
    # Wine's taskbar opens its Start menu only at its corner: Pivotrix opens its own at the
    # mouse, the user's and all users' Start Menus merged, each folder listed as it opens.
    with session(desktop="shell") as wine:
        user, common = start_menu_folders(wine.prefix)
        user_folder = os.path.join(user, "Programs", "Accessories")
        common_folder = os.path.join(common, "Programs", "Accessories")
        os.makedirs(os.path.join(common_folder, "Empty Folder"))
        write_shortcut(os.path.join(user_folder, "Notes.lnk"), REGEDIT)
        write_shortcut(os.path.join(user_folder, ".hidden.lnk"), REGEDIT)  # Wine hides dot files
        write_shortcut(os.path.join(user_folder, "\u042f\u0440\u043b\u044b\u043a.lnk"),
                       NOTEPAD)  # a name outside the code page, last in the folder
        target = wine.start_target().hwnd
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)

        chosen, menu = open_own_start_menu(wine)
        check(menu[0] == chosen[0] and menu[3] == chosen[1],
              "the menu's bottom-left corner at the mouse", chosen, menu)
        wine.key("Escape")
        wait_for(lambda: not wine.menus() and wine.wintool("foreground")[0] == target, 5,
                 "the menu closed by Escape, the focus back on the target")

        _, root = open_own_start_menu(wine)
        # Written while the menu is open: a folder is listed when its submenu opens.
        write_shortcut(os.path.join(common_folder, "apple & pie.lnk"), WINEMINE)
        for key, menus in (("p", 2), ("Right", 3), ("Right", 4)):  # keyboard opened: the
            wine.key(key)  # first item selected: Programs, Accessories, Empty Folder
            shown = wait_for(lambda: len(m := wine.menus()) == menus and m, 5, f"{menus} menus")
        empty = max(shown)  # the newest submenu stands right of the others
        check(empty[3] - empty[1] <= root[3] - root[1], "an empty folder's submenu holds one "
              "item, no higher than the Start menu's one (Programs)", root, empty)
        wine.key("Escape")
        wait_for(lambda: len(wine.menus()) == 3, 5, "the empty folder's submenu closed")
        # Folders first, then the entries without regard to case and without the hidden
        # file: the second item is apple & pie, from the other Start Menu.
        for key in ("Home", "Down", "Return"):
            wine.key(key)
        wait_for(lambda: wine.find_window("-", "WineMine"), 15, "Minesweeper started")
        wait_for(lambda: not wine.menus(), 5, "the menu closed")

        open_own_start_menu(wine)  # the last entry, named in Cyrillic letters
        for key in ("p", "Right", "End", "Return"):
            wine.key(key)
        wait_for(lambda: wine.find_window("Notepad"), 15, "Notepad started")


def test_the_find_box_narrows_to_entries_at_any_depth_and_starts_one(session, build_dir):
    # Typed text narrows the list to the entries whose names hold it, compared without
    # regard to case or accents, names that begin with it first; Down and Enter start the
    # second, two folders deep.
    with session(desktop="shell") as wine:
        user, common = start_menu_folders(wine.prefix)
        write_shortcut(os.path.join(common, "Programs", "Games", "More", "Mines D\u00e9luxe.lnk"),
                       WINEMINE)
        write_shortcut(os.path.join(user, "Programs", "Deluxe Notes.lnk"), NOTEPAD)
        write_shortcut(os.path.join(user, "Registry.lnk"), REGEDIT)
        target = wine.start_target().hwnd
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)

        chosen, box, rect = open_find_box(wine)
        check((rect[0], rect[3]) == chosen, "the box's bottom-left corner at the mouse", chosen,
              rect)
        wait_for(lambda: wine.wintool("foreground")[0] == box, 5, "the box in the foreground")
        wine.key("Escape")
        wait_for(lambda: not wine.window_info(box) and wine.wintool("foreground")[0] == target,
                 5, "the box closed by Escape, the focus back on the target")

        _, box, _ = open_find_box(wine)
        entries = [line.split()[0] for line in wine.wintool("children", box)
                   if line.split()[1] == "ListBox"][0]
        wait_for(lambda: wine.send(entries, LB_GETCOUNT) == 3, 5, "all three entries listed")
        wine.xdotool("type", "DELU")
        wait_for(lambda: wine.send(entries, LB_GETCOUNT) == 2, 5, "two entries hold the text")
        for key in ("Down", "Return"):
            wine.key(key)
        wait_for(lambda: wine.find_window("-", "WineMine"), 15, "Minesweeper started")
        check(not wine.window_info(box), "the box closed", None, wine.window_info(box))


def box_texts(wine, box):
    return [" ".join(wine.wintool("text", line.split()[0]))
            for line in wine.wintool("children", box) if line.split()[1] == "Static"]


def test_without_a_taskbar_an_entry_that_cant_be_opened_is_reported(session, build_dir):
    # Opened as a double click in Explorer opens it: a failure the shell reports in boxes
    # of its own gets no further box from Pivotrix. Wine shows an "Error" box for a file
    # that no program opens (it has no "Open with"), and for a missing target first
    # "Path not found." and then that one.
    with session() as wine:
        user = start_menu_folders(wine.prefix)[0]
        write_shortcut(os.path.join(user, "Gone & lost.lnk"), "C:\\nowhere\\gone.exe")
        open(os.path.join(wine.prefix, "drive_c", "notes.xyz"), "w").close()
        write_shortcut(os.path.join(user, "Xyz notes.lnk"), "C:\\notes.xyz")
        wine.start_target()
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)
        for letter, reason in (("g", "Path not found."),
                               ("x", "There is no Windows program configured to open this "
                                     "type of file.")):
            open_own_start_menu(wine)
            wine.key(letter)  # the one item with that letter: chosen at once
            reasons, wait = [], 10000
            while (box := wine.wintool("waitwindow", "#32770", "Error", wait, ok=False))[0] == 0:
                box = box[1][0].split()[0]
                reasons += box_texts(wine, box)
                if wait == 10000:  # the shell was asked on a thread of its own: the popup
                    wine.click(*INSIDE, button=3)  # still comes meanwhile
                    wait_popup(wine)
                    dismiss(wine, (800, 600))
                wine.wintool("click-button", box, 1)
                wait_for(lambda: wine.window_info(box) is None, 5, "the shell's box closed")
                wait = 3000
            check(reason in reasons, "the shell's own box gives the reason", reason, reasons)
            code, lines = wine.wintool("waitwindow", "#32770", "Pivotrix", 3000, ok=False)
            check(code != 0, "no box of Pivotrix's after the shell's", "none", lines)


def test_own_start_menu_shows_explorers_names_and_its_root_items(session, build_dir):
    # Names from desktop.ini files reach the items by their letters; a folder marked system
    # alone is listed, a hidden one is not (else two items of Programs would start with an
    # H, and the letter would only select the first); Settings and Run open their windows.
    with session(desktop="shell") as wine:
        user, common = start_menu_folders(wine.prefix)
        tools = os.path.join(user, "Programs", "Tools")
        write_shortcut(os.path.join(tools, "zz.lnk"), REGEDIT)
        write_desktop_ini(tools, own_name="Handy Things",
                          file_names=[("zz.lnk", "Registry Viewer")])
        set_attributes(tools, 0x10 | 0x4)  # a folder's own name counts when it is so marked
        kept = os.path.join(common, "Programs", "Kept")
        write_shortcut(os.path.join(kept, "Mines.lnk"), WINEMINE)
        set_attributes(kept, 0x10 | 0x4)  # a folder, system alone
        hidden = os.path.join(common, "Programs", "Hidden")
        write_shortcut(os.path.join(hidden, "Notepad.lnk"), NOTEPAD)
        set_attributes(hidden, 0x10 | 0x2 | 0x4)
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)
        wine.start_target()

        for keys, window in ((("p", "h", "r"), ("-", "Registry Editor")),
                             (("p", "k", "m"), ("-", "WineMine")),
                             (("s",), ("-", "Wine Control Panel")),
                             (("r",), ("#32770", "Run"))):
            open_own_start_menu(wine)
            for key in keys:  # each the one item with its letter: opened or started at once
                wine.key(key)
            opened = wait_for(lambda: wine.find_window(*window), 15, f"{window} after {keys}")
            wait_for(lambda: not wine.menus(), 5, "the menu closed")
            wine.post(opened, WM_CLOSE)  # out of the way of the next right click
            wait_for(lambda: wine.window_info(opened) is None, 10, f"{window} closed")


def test_a_slow_folder_shows_a_placeholder_until_it_is_listed(session, build_dir):
    # A folder of 3,000 entries, each named by a string of shell32's, takes Wine several
    # times longer to list than the menu waits (half a second for 2,000 on an idle machine
    # here; plain names list in a few milliseconds): its submenu opens at once with a
    # one-item placeholder and opens again, full, once listed.
    with session(desktop="shell") as wine:
        many = os.path.join(start_menu_folders(wine.prefix)[0], "Programs", "Many")
        names = [(f"Entry {i:04d}.txt", f"@%SystemRoot%\\system32\\shell32.dll,-{8964 + i % 7}")
                 for i in range(3000)]
        write_desktop_ini(many, file_names=names)
        for name, _ in names:
            open(os.path.join(many, name), "w").close()
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)
        wine.start_target()
        _, root = open_own_start_menu(wine)
        wine.key("p")
        programs = wait_for(lambda: len(m := wine.menus()) == 2 and max(m), 5, "Programs open")
        wine.key("m")  # Many, the one item with an M
        placeholder = wait_for(lambda: len(m := wine.menus()) == 3 and max(m), 5, "Many open")
        item = (programs[3] - programs[1]) // 3  # Administrative Tools, Many, StartUp
        check(placeholder[3] - placeholder[1] <= item + 8, "the submenu opens with one item",
              f"at most {item + 8} pixels high", placeholder)
        # Reopened where it stood, holding the entries; it is closed for a moment between.
        wait_for(lambda: [r for r in wine.menus() if r[0] == placeholder[0] and
                          r[3] - r[1] > 10 * item], 30,
                 f"Many opened again, listed: over {10 * item} pixels high (have {wine.menus()})")


def test_wines_task_buttons_are_left_to_wine(session, build_dir):
    # Wine's taskbar keeps one button per window as its own children; a right click on one
    # opens that window's system menu, and no popup.
    with session(desktop="shell") as wine:
        wine.start_target()
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)
        tray = wine.find_window("Shell_TrayWnd")
        expect_hook(wine, "Wine's taskbar holds the task buttons", buttons=int(tray, 16), tabs=0)
        start_button = wine.wintool("findchild", tray, "Button")[0]
        buttons = [line.split()[0] for line in wine.wintool("children", tray)
                   if line.split()[1] == "Button" and line.split()[0] != start_button]
        shown = [b for b in buttons if wine.window_info(b)["visible"]]
        check(shown, "a task button on Wine's taskbar", "one or more", buttons)
        left, top, right, bottom = wine.window_info(shown[0])["rect"]
        wine.click((left + right) // 2, (top + bottom) // 2, button=3)
        wait_for(wine.menus, 5, "the window's own menu from its task button")
        expect_hook(wine, "no popup requested for the task button", timeout=0, extra=0)
        dismiss(wine, (200, 100))
        wine.click(*INSIDE, button=3)
        wait_popup(wine)


def test_start_cancel_and_a_stray_start_click(session, build_dir):
    with session() as wine:
        shell, shell_log, target, pivotrix, _ = start_shell_target_pivotrix(
            wine, Enable=1, Extra=0)  # its hook installed
        # With no Start menu opened from the popup, a click report changes nothing.
        other = wine.start_target(title="Other", rect=OTHER).hwnd
        wait_for(lambda: wine.wintool("foreground")[0] == other, 5, "the other window active")
        wine.post(pivotrix, UM_START_CLICK, int(target, 16) & 0xFFFF)
        wait_handled(wine, pivotrix, click=False)  # a click could move the focus itself
        wine.send(target, WM_NULL)  # and the target has done what Pivotrix asked of it
        check(wine.wintool("foreground")[0] == other, "a stray UM_START_CLICK moves no focus",
              other, wine.wintool("foreground"))

        # Cancel leaves the start-menu state without handing the focus back.
        wine.click(*INSIDE, button=3)
        wine.click(*item_centre(wine, wait_popup(wine), group=0))
        shell_log.wait(r"STARTMENU_OPEN")
        expect_hook(wine, "watching the Start menu", timeout=0, start=1)
        wine.post(pivotrix, UM_START_CANCEL)
        expect_hook(wine, "the watch cancelled", start=0)
        wine.send(target, WM_NULL)  # the target has done what Pivotrix asked of it
        check(wine.wintool("foreground")[0] != target, "no focus handed back after a cancel",
              "not the target", wine.wintool("foreground"))
        wine.key("Escape")  # the shell kept the focus for its menu
        shell_log.wait(r"STARTMENU_CLOSED")


def test_close_while_the_button_is_moved_puts_it_back(session, build_dir):
    # This shell tracks its Start menu inside the press, so the press is handled only when
    # the menu closes; the button stands at the cursor meanwhile. Pivotrix does not wait for
    # it: it goes on handling messages (it stops watching the Start menu when told), and a
    # close that arrives puts the button back while the shell's menu is still open.
    with session() as wine:
        shell, shell_log, _, pivotrix, process = start_shell_target_pivotrix(
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
        expect_hook(wine, "watching the Start menu", timeout=0, start=1)
        wine.post(pivotrix, UM_START_CANCEL)
        expect_hook(wine, "the watch ended while the shell keeps the press", start=0)
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
        shell, _, _, pivotrix, _ = start_shell_target_pivotrix(wine, Enable=1, Extra=0)
        wine.post(shell.group(2), WM_CLOSE)  # the button's default handling destroys it
        wait_for(lambda: wine.window_info(shell.group(2)) is None, 5, "the Start button gone")

        wine.click(*INSIDE, button=3)
        choose(wine, wait_popup(wine), group=0)
        # Posted after the menu's own WM_COMMAND, so the Start item has begun its watch by
        # then; the popup is closed without a click, which would end the watch itself.
        wait_handled(wine, pivotrix, click=False)
        expect_hook(wine, "the Start-menu watch ended", start=0)
        wine.click(*INSIDE, button=3)
        wait_popup(wine)


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
