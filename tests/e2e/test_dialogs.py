"""The Help and About boxes of the control menu: modal boxes owned by Pivotrix's window,
centred on the screen and above other windows, that close only through their button."""

import sys

from pivotrix import (IDC_OK, IDCANCEL, IDM_ABOUT, IDM_HELP, WM_CLOSE, WM_COMMAND, WM_SYSCOMMAND,
                      WS_EX_TOPMOST, choose_control_item, close_pivotrix, read_ini,
                      start_pivotrix)
from winenv import check, run_tests, wait_for

# The boxes' screen rectangles. Their sizes follow from the templates and the prefix's
# dialog font: About 347 x 264, Help 278 x 192, centred on the 1024 x 768 screen. On a
# 320 x 240 screen About, larger both ways, sits at the top left, and Help is centred.
ABOUT_RECT = (338, 252, 685, 516)
HELP_RECT = (373, 288, 651, 480)
SMALL_SCREEN_ABOUT_RECT = (0, 0, 347, 264)
SMALL_SCREEN_HELP_RECT = (21, 24, 299, 216)
# At 192 DPI the dialog font, and with it each box, is about twice as large.
ABOUT_RECT_192 = (168, 133, 855, 634)
HELP_RECT_192 = (237, 202, 786, 565)


def wait_box(wine):
    """Waits for the box (a visible "#32770" without caption); returns its info."""
    code, lines = wine.wintool("waitwindow", "#32770", "", 5000, ok=False)
    check(code == 0, "a dialog box shows", "a visible #32770", lines)
    return wine.window_info(lines[0].split()[0])


def open_box(wine, hwnd, command):
    # Posted: the box is modal, so the command's handler returns only when it closes.
    wine.post(hwnd, WM_SYSCOMMAND, command)
    return wait_box(wine)


def check_box(wine, hwnd, box, name, rect):
    """The box belongs to Pivotrix, disables its window, stays on top and stands at rect."""
    owner = wine.wintool("owner", box["hwnd"])[0]
    check(owner == hwnd, f"the {name} box is owned by Pivotrix's window", hwnd, owner)
    check(wine.wintool("enabled", hwnd) == ["0"], f"the {name} box is modal",
          "Pivotrix's window disabled", wine.wintool("enabled", hwnd))
    check(box["exstyle"] & WS_EX_TOPMOST, f"the {name} box stays on top", "WS_EX_TOPMOST",
          hex(box["exstyle"]))
    check(box["rect"] == rect, f"the {name} box's place and size", rect, box["rect"])


def wait_box_closed(wine, hwnd, box, name):
    wait_for(lambda: wine.window_info(box["hwnd"]) is None, 5, f"the {name} box to close")
    wait_for(lambda: wine.wintool("enabled", hwnd) == ["1"], 5,
             "Pivotrix's window enabled again")


def check_boxes(wine, hwnd, boxes):
    """Opens each box of boxes, (name, command, rect), checks it and closes it with its
    button."""
    for name, command, rect in boxes:
        box = open_box(wine, hwnd, command)
        check_box(wine, hwnd, box, name, rect)
        wine.wintool("click-button", box["hwnd"], IDC_OK)
        wait_box_closed(wine, hwnd, box, name)


def test_help_box_closes_only_with_its_button(session, build_dir):
    with session() as wine:
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir)
        box = open_box(wine, hwnd, IDM_HELP)
        check_box(wine, hwnd, box, "Help", HELP_RECT)

        # Neither Escape (a real key press; the box has the focus) nor a close request nor
        # Cancel ends it.
        foreground = wine.wintool("foreground")[0]
        check(foreground == box["hwnd"], "the box is the foreground window", box["hwnd"],
              foreground)
        # Escape reaches the box at once, as it waits for input; the two posts and then
        # About are queued to Pivotrix's thread in order, so once the About box is up, the
        # Help box has handled all three.
        wine.key("Escape")
        for message, wparam in ((WM_CLOSE, 0), (WM_COMMAND, IDCANCEL)):
            wine.wintool("post", box["hwnd"], message, wparam, 0, ok=False)
        wine.post(hwnd, WM_SYSCOMMAND, IDM_ABOUT)
        about = wait_for(lambda: (a := wine.find_window("#32770", "")) != box["hwnd"] and a, 5,
                         "the About box above the Help box")
        still = wine.window_info(box["hwnd"])
        check(still is not None and still["visible"] and still["rect"] == box["rect"],
              "the Help box is still shown after Escape, WM_CLOSE and Cancel", box, still)
        wine.wintool("click-button", about, IDC_OK)
        wait_for(lambda: wine.window_info(about) is None, 5, "the About box closed")

        # A real click on "Quit help".
        left, top, right, bottom = (int(v) for v in
                                    wine.wintool("itemrect", box["hwnd"], IDC_OK)[0].split())
        wine.click((left + right) // 2, (top + bottom) // 2, button=1)
        wait_box_closed(wine, hwnd, box, "Help")
        check(process.poll() is None, "Pivotrix runs on", None, process.poll())
        check(read_ini(run_dir) is None, "the box writes no settings", None, read_ini(run_dir))
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_about_box_shows_the_same_each_time(session, build_dir):
    with session() as wine:
        process, hwnd = start_pivotrix(wine, wine.path("run"))
        check_boxes(wine, hwnd, (("About", IDM_ABOUT, ABOUT_RECT),
                                 ("About again", IDM_ABOUT, ABOUT_RECT),
                                 ("Help", IDM_HELP, HELP_RECT)))
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_about_chosen_in_the_system_menu_with_the_mouse(session, build_dir):
    with session() as wine:
        process, hwnd = start_pivotrix(wine, wine.path("run"))
        choose_control_item(wine, hwnd, IDM_ABOUT)
        box = wait_box(wine)
        check_box(wine, hwnd, box, "About", ABOUT_RECT)
        left, top, right, bottom = (int(v) for v in
                                    wine.wintool("itemrect", box["hwnd"], IDC_OK)[0].split())
        wine.click((left + right) // 2, (top + bottom) // 2, button=1)
        wait_box_closed(wine, hwnd, box, "About")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_box_larger_than_the_screen_sits_at_top_left(session, build_dir):
    with session(size=(320, 240)) as wine:
        screen = wine.wintool("screen")
        check(screen == ["320 240"], "the small desktop", ["320 240"], screen)
        process, hwnd = start_pivotrix(wine, wine.path("run"))
        check_boxes(wine, hwnd, (("About", IDM_ABOUT, SMALL_SCREEN_ABOUT_RECT),
                                 ("Help", IDM_HELP, SMALL_SCREEN_HELP_RECT)))
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_boxes_at_192_dpi_open_centred_and_close(session, build_dir):
    with session(dpi=192) as wine:
        process, hwnd = start_pivotrix(wine, wine.path("run"))
        check_boxes(wine, hwnd, (("About", IDM_ABOUT, ABOUT_RECT_192),
                                 ("Help", IDM_HELP, HELP_RECT_192)))
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
