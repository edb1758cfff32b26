"""The popup at the mouse: where it appears, what it holds, and what its window commands do,
with Pivotrix started with Enable=1 in a Wine virtual desktop and real mouse input."""

import sys

from pivotrix import (IDM_SMALL_MENU, MENU_MARGIN, SC_CLOSE, SC_MAXIMIZE, SC_MINIMIZE,
                      SC_RESTORE, UM_POPUP_CLICK, UM_POPUP_NOW, UM_POPUP_REQUEST, WM_CLOSE,
                      WM_SYSCOMMAND, screen_pixels, start_pivotrix, wait_handled, wait_ini,
                      wait_painted)
from popup import (both_menus, choose, dismiss, end_menu_left_open, item_centre,
                   popup_groups, wait_popup)
from winenv import INSIDE, SCREEN, check, run_tests, wait_for

TARGET_CORNER = (350, 230)  # in the target, away from the popups that open at INSIDE
ELSEWHERE = (800, 600)


def test_popup_anchored_in_each_band(session, build_dir):
    width = SCREEN[0]
    with session() as wine:
        wine.start_target(title="Wide", rect=(0, 60, width, 600))
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        cases = [  # click x, expected right edge
            (100, width // 2),           # near the left edge: half the screen
            (168, width // 2),
            (169, 169),                  # in the middle band: the cursor's x
            (500, 500),
            (width - 169, width - 169),
            (width - 168, width // 2 + 100),  # near the right edge
            (950, width // 2 + 100),
        ]
        for x, right in cases:
            y = 300 + (x % 7) * 10
            wine.click(x, y, button=3)
            rect = wait_popup(wine)
            check(rect[2] == right and rect[1] == y + 20,
                  f"popup for a right click at ({x}, {y}): right edge, top",
                  (right, y + 20), (rect[2], rect[1]))
            dismiss(wine, (x, 120))


def test_extra_off_shows_start_item_alone(session, build_dir):
    with session() as wine:
        wine.start_target()
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=0)
        for attempt in range(2):
            wine.click(*INSIDE, button=3)
            rect = wait_popup(wine)
            groups = popup_groups(wine, rect)
            check(len(groups) == 1, "with Extra off, one item and no separators", 1, groups)
            dismiss(wine, TARGET_CORNER)


def test_items_follow_the_targets_state(session, build_dir):
    with session() as wine:
        wine.start_target(title="A title longer than thirteen")
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        wine.click(*INSIDE, button=3)
        rect = wait_popup(wine)
        groups = popup_groups(wine, rect)
        # Start | FreeSpot | Maximize, Minimize | EXIT <title>
        heights = [bottom - top for top, bottom in groups]
        check(len(groups) == 4, "a normal window: four groups", 4, groups)
        # A group is its items plus the same margin, so two items add one item's height.
        check(heights[2] - heights[1] >= 12, "two window commands in the third group",
              f">= {heights[1] + 12}", heights[2])
        check(abs(heights[3] - heights[1]) <= 3, "one close item", heights[1], heights[3])
        dismiss(wine, TARGET_CORNER)


def test_window_commands_act_on_the_clicked_window(session, build_dir):
    with session() as wine:
        process, log, target, _ = wine.start_target()
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)

        # Normal window: Start | FreeSpot | Maximize, Minimize | EXIT
        wine.click(*INSIDE, button=3)
        choose(wine, wait_popup(wine), group=2, index=0, count=2)
        log.wait(rf"SYSCOMMAND 0x{SC_MAXIMIZE:04X}")
        wait_for(lambda: wine.window_info(target)["zoomed"], 5, "the target maximized")

        # Maximized: Start | FreeSpot | Restore, Minimize | EXIT
        wine.click(*INSIDE, button=3)
        choose(wine, wait_popup(wine), group=2, index=0, count=2)
        log.wait(rf"SYSCOMMAND 0x{SC_RESTORE:04X}")
        wait_for(lambda: not wine.window_info(target)["zoomed"], 5, "the target restored")
        check(wine.window_info(target)["rect"] == (300, 200, 600, 400),
              "restored to its old place", (300, 200, 600, 400), wine.window_info(target))

        wine.click(*INSIDE, button=3)
        choose(wine, wait_popup(wine), group=2, index=1, count=2)
        log.wait(rf"SYSCOMMAND 0x{SC_MINIMIZE:04X}")
        wait_for(lambda: wine.window_info(target)["iconic"], 5, "the target minimized")

        wine.post(target, WM_SYSCOMMAND, SC_RESTORE)
        wait_for(lambda: not wine.window_info(target)["iconic"], 5, "the target back")
        wine.click(*INSIDE, button=3)
        choose(wine, wait_popup(wine), group=3)
        log.wait(rf"SYSCOMMAND 0x{SC_CLOSE:04X}")
        check(process.wait(timeout=10) == 0, "the target closed by EXIT", 0, process.returncode)


def test_commands_on_a_dialogs_child_act_on_the_dialog(session, build_dir):
    with session() as wine:
        process, log, dialog, button = wine.start_target("--dialog", title="Dialog")
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        left, top, right, bottom = wine.window_info(button)["rect"]
        inside_button = ((left + right) // 2, (top + bottom) // 2)

        wine.click(*inside_button, button=3)
        log.wait(r"CHILD RBUTTONUP")
        rect = wait_popup(wine)
        check(len(popup_groups(wine, rect)) == 4, "the dialog's commands, not the button's",
              4, popup_groups(wine, rect))
        choose(wine, rect, group=2, index=1, count=2)  # Minimize
        log.wait(rf"SYSCOMMAND 0x{SC_MINIMIZE:04X}")
        wait_for(lambda: wine.window_info(dialog)["iconic"], 5, "the dialog minimized")
        check(wine.window_info(button) is not None, "the button is still there", "a window",
              None)

        wine.post(dialog, WM_SYSCOMMAND, SC_RESTORE)
        wait_for(lambda: not wine.window_info(dialog)["iconic"], 5, "the dialog back")
        wine.click(*inside_button, button=3)
        choose(wine, wait_popup(wine), group=3)  # EXIT Dialog
        log.wait(rf"SYSCOMMAND 0x{SC_CLOSE:04X}")
        check(process.wait(timeout=10) == 0, "the dialog closed by EXIT", 0, process.returncode)


def test_click_outside_closes_and_next_right_click_opens_again(session, build_dir):
    with session() as wine:
        process, log, target, _ = wine.start_target()
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        for round_ in range(3):
            wine.click(*INSIDE, button=3)
            first = wait_popup(wine)
            dismiss(wine, ELSEWHERE)
            wait_handled(wine, wine.find_window("PIVOTRIX", "Pivotrix"))  # and stays closed
        check(log.events(r"SYSCOMMAND") == [], "dismissing chose nothing", [],
              log.events(r"SYSCOMMAND"))
        check(first[2] == INSIDE[0], "popup at the mouse", INSIDE[0], first)


def test_popup_for_pivotrix_itself_offers_no_restore(session, build_dir):
    # Pivotrix's own window is always minimized, has a minimize box and no maximize box:
    # its window-command group stays empty, so two separators stand in a row. The window
    # arrives from the hook as 16 bits, so this also shows that it is recognised as the
    # main window despite the handle's upper bits.
    with session() as wine:
        _, hwnd = start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        left, top, right, bottom = wine.window_info(hwnd)["rect"]
        wine.click((left + right) // 2, (top + bottom) // 2, button=3)
        # Wine opens the button's system menu as well; the popup is the one at the anchor.
        popup = wait_painted(wine, wait_for(
            lambda: [m for m in wine.menus() if m[2] == SCREEN[0] // 2], 5, "Pivotrix's popup")[0])
        groups = popup_groups(wine, popup)
        heights = [b - t for t, b in groups]
        check(len(groups) == 4 and heights[2] < heights[1] // 2,
              "Start | FreeSpot | two separators in a row | EXIT Pivotrix",
              "4 groups, the third only separators", groups)
        check(abs(heights[3] - heights[1]) <= 3, "the close item", heights[1], heights[3])


def test_popup_now_shows_at_once_and_requests_while_busy_are_dropped(session, build_dir):
    with session() as wine:
        process, log, target, _ = wine.start_target()
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        pivotrix = wine.find_window("PIVOTRIX", "Pivotrix")
        # Another program may ask for a popup for a window, with a point of its choosing.
        point = (260 << 16) | 520
        wine.post(pivotrix, UM_POPUP_NOW, int(target, 16) & 0xFFFF, point)
        rect = wait_popup(wine)
        check((rect[2], rect[1]) == (520, 280), "popup at the posted point", (520, 280),
              (rect[2], rect[1]))
        check(len(popup_groups(wine, rect)) == 4, "popup for the posted window", 4,
              popup_groups(wine, rect))
        # While it is up, further requests are dropped, not queued.
        wine.post(pivotrix, UM_POPUP_NOW, int(target, 16) & 0xFFFF, (300 << 16) | 700)
        wine.post(pivotrix, UM_POPUP_REQUEST, int(target, 16) & 0xFFFF, (300 << 16) | 700)
        # The menu loop handles posted messages in order: once this one's key is written,
        # both requests have been handled.
        wine.post(pivotrix, WM_SYSCOMMAND, IDM_SMALL_MENU)
        wait_ini(wine.path("run"), {"Enable": "1", "Extra": "1", "MenuSize": "1"})
        check(wine.menus() == [rect], "still the one popup", [rect], wine.menus())
        dismiss(wine, ELSEWHERE)
        wait_handled(wine, pivotrix)  # the dropped requests are not replayed

        # A press elsewhere reported before a requested popup shows (within its 10 ms)
        # cancels it: it would open after the press and stay.
        wine.move_mouse(*ELSEWHERE)
        wine.wintool("post", pivotrix, UM_POPUP_REQUEST, int(target, 16) & 0xFFFF,
                     (300 << 16) | 700, UM_POPUP_CLICK, int(target, 16) & 0xFFFF, 0)
        wait_handled(wine, pivotrix)


# In a prefix at 192 DPI (200 %) the small Start picture, 16 x 14, is drawn 32 x 28: the
# extent of what differs from the menu's background in the popup's first item.
def test_at_192_dpi_the_popup_opens_at_the_cursor_with_pictures_twice_their_size(session,
                                                                              build_dir):
    with session(dpi=192) as wine:
        wine.start_target()
        start_pivotrix(wine, wine.path("run"), Enable=1, MenuSize=1)
        wine.click(*INSIDE, button=3)
        rect = wait_popup(wine)
        check((rect[2], rect[1]) == (INSIDE[0], INSIDE[1] + 20), "the popup's right edge and "
              "top, at the cursor", (INSIDE[0], INSIDE[1] + 20), (rect[2], rect[1]))
        top, bottom = popup_groups(wine, rect)[0]
        rows = screen_pixels(wine, (rect[0] + MENU_MARGIN, top, rect[2] - MENU_MARGIN, bottom))
        drawn = [(x, y) for y, row in enumerate(rows) for x, p in enumerate(row) if p != rows[0][0]]
        size = (max(x for x, _ in drawn) - min(x for x, _ in drawn) + 1,
                max(y for _, y in drawn) - min(y for _, y in drawn) + 1) if drawn else None
        check(size == (32, 28), "the Start picture drawn at twice its size", (32, 28), size)


# The large popup's close item: "EXIT " and the title's first 13 characters, read as UTF-16.
# Another process's menu can't be read, so the popups are compared as pictures: titles that
# agree in their first 13 characters give the same popup, others a different one.
TITLES = {
    "none": "",
    "13": "ABCDEFGHIJKLM",
    "14": "ABCDEFGHIJKLMN",
    "300": "ABCDEFGHIJKLM" + "x" * 287,
    "cyrillic": "Привет, мир!",
    "questions": "??????, ???!",  # the same title through a Western code page
    "greek": "Γειά σου κόσμε",
    "han": "记事本记事本",
}


def test_close_item_shows_the_titles_first_13_characters(session, build_dir):
    with session() as wine:
        _, hwnd = start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        pictures = {}
        for name, title in TITLES.items():
            process, _, target, _ = wine.start_target(title=title)
            wine.click(*INSIDE, button=3)
            rect = wait_popup(wine)
            check(len(popup_groups(wine, rect)) == 4, f"popup with a close item ({name})", 4,
                  popup_groups(wine, rect))
            pictures[name] = (rect[2] - rect[0], screen_pixels(wine, rect))
            dismiss(wine, ELSEWHERE)
            wine.post(target, WM_CLOSE)
            check(process.wait(timeout=10) == 0, f"the {name} target closed", 0,
                  process.returncode)
        same = [name for name in ("14", "300") if pictures[name] != pictures["13"]]
        check(not same, "titles of 14 and 300 characters show their first 13", [],
              f"{same} differ from the 13-character title")
        check(pictures["none"][0] < pictures["13"][0], "an untitled window's item is narrower",
              f"< {pictures['13'][0]}", pictures["none"][0])
        check(pictures["cyrillic"] != pictures["questions"],
              "Cyrillic letters are shown, not question marks", "different pictures",
              "the same picture")


# A right click on most programs opens their own context menu beside the popup, and that
# menu's loop then holds the mouse. The cursor decides what a press is on: a press on the
# popup's item first closes the program's menu and leaves the popup open, so that a second
# press carries the item out; a press on the program's menu closes the popup.
def check_presses_beside_own_menu(wine, point, target, menu_owner, own_chosen=None):
    """Minimize chosen on the popup beside the program's menu (whose owner window is
    menu_owner), then the first item of the program's menu chosen three times;
    own_chosen(count) tells that it was carried out.

    Whichever menu loop holds the mouse takes a click: the program's (it opened first)
    closes its menu on a click elsewhere, so a second click is needed; the popup's, when it
    happened to open first, carries the item out at once. Never may a click close both
    menus with nothing carried out."""
    popup, own = both_menus(wine, point)
    minimize = item_centre(wine, popup, group=2, index=1, count=2)
    for click in (1, 2):
        wine.click(*minimize)
        done = wait_for(lambda: ("minimized" if wine.window_info(target)["iconic"] else
                                 "popup only" if wine.menus() == [popup] else None), 5,
                        f"click {click} on Minimize: the target minimized, or the program's "
                        f"menu closed and the popup {popup} still open (have {wine.menus()})")
        if done == "minimized":
            break
    check(done == "minimized", "two clicks on Minimize minimize the target", "minimized", done)
    end_menu_left_open(wine, menu_owner)
    wine.post(target, WM_SYSCOMMAND, SC_RESTORE)
    wait_for(lambda: not wine.window_info(target)["iconic"], 5, "the target back")

    for round_ in range(3):
        popup, own = both_menus(wine, point)
        own_item = ((own[0] + own[2]) // 2, own[1] + 12)
        wine.click(*own_item)
        wait_for(lambda: popup not in wine.menus(), 5, f"the popup closed by a press on the "
                 f"program's menu, round {round_ + 1} (have {wine.menus()})")
        if wine.menus() == [own]:  # the popup's loop had the mouse: now the program's has
            wine.click(*own_item)
        if own_chosen is not None:
            own_chosen(round_ + 1)
        wait_for(lambda: not wine.menus(), 5, "the program's menu closed by its choice")


def test_presses_beside_a_windows_own_context_menu(session, build_dir):
    with session() as wine:
        process, log, target, _ = wine.start_target("--context-menu")
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        check_presses_beside_own_menu(
            wine, INSIDE, target, target,
            own_chosen=lambda count: log.wait(r"OWNMENU CLOSED 201", count=count))


def test_presses_beside_notepads_context_menu(session, build_dir):
    with session() as wine:
        notepad = wine.start_notepad()
        wine.xdotool("type", "text")  # so that "Undo", its menu's first item, is enabled
        start_pivotrix(wine, wine.path("run"), Enable=1, Extra=1)
        edit = wine.wintool("findchild", notepad, "Edit")[0]  # the owner of its context menu
        check_presses_beside_own_menu(wine, (450, 350), notepad, edit)


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
