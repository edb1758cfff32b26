"""The Help and About boxes of the control menu: modal boxes owned by Pivotrix's window,
centred on the screen and above other windows, that close only through their button."""

import sys

from pivotrix import (IDC_OK, IDCANCEL, IDM_ABOUT, IDM_HELP, WM_CLOSE, WM_COMMAND, WM_SYSCOMMAND,
                      WS_EX_TOPMOST, choose_control_item, close_pivotrix, read_ini,
                      start_pivotrix)
from winenv import check, run_tests, wait_for


def wait_box(wine):
    """Waits for the box (a visible "#32770" without caption); returns its info."""
    code, lines = wine.wintool("waitwindow", "#32770", "", 5000, ok=False)
    check(code == 0, "a dialog box shows", "a visible #32770", lines)
    return wine.window_info(lines[0].split()[0])


def open_box(wine, hwnd, command):
    # Posted: the box is modal, so the command's handler returns only when it closes.
    wine.post(hwnd, WM_SYSCOMMAND, command)
    return wait_box(wine)


def check_box(wine, hwnd, box, name):
    """The box belongs to Pivotrix, disables its window, stays on top and is centred."""
    owner = wine.wintool("owner", box["hwnd"])[0]
    check(owner == hwnd, f"the {name} box is owned by Pivotrix's window", hwnd, owner)
    check(wine.wintool("enabled", hwnd) == ["0"], f"the {name} box is modal",
          "Pivotrix's window disabled", wine.wintool("enabled", hwnd))
    check(box["exstyle"] & WS_EX_TOPMOST, f"the {name} box stays on top", "WS_EX_TOPMOST",
          hex(box["exstyle"]))
    screen_w, screen_h = (int(v) for v in wine.wintool("screen")[0].split())
    left, top, right, bottom = box["rect"]
    expected = (max(0, (screen_w - (right - left)) // 2),
                max(0, (screen_h - (bottom - top)) // 2))
    check((left, top) == expected, f"the {name} box is centred on the {screen_w}x{screen_h} "
          f"screen", expected, box["rect"])


def wait_box_closed(wine, hwnd, box, name):
    wait_for(lambda: wine.window_info(box["hwnd"]) is None, 5, f"the {name} box to close")
    wait_for(lambda: wine.wintool("enabled", hwnd) == ["1"], 5,
             "Pivotrix's window enabled again")


def test_help_box_closes_only_with_its_button(session, build_dir):
    with session() as wine:
        run_dir = wine.path("run")
        process, hwnd = start_pivotrix(wine, run_dir)
        box = open_box(wine, hwnd, IDM_HELP)
        check_box(wine, hwnd, box, "Help")

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
        first = open_box(wine, hwnd, IDM_ABOUT)
        check_box(wine, hwnd, first, "About")
        wine.wintool("click-button", first["hwnd"], IDC_OK)
        wait_box_closed(wine, hwnd, first, "About")

        second = open_box(wine, hwnd, IDM_ABOUT)
        check(second["rect"] == first["rect"], "the About box opens at the same place and size",
              first["rect"], second["rect"])
        check_box(wine, hwnd, second, "About")
        wine.wintool("click-button", second["hwnd"], IDC_OK)
        wait_box_closed(wine, hwnd, second, "About")

        # The Help box is another box, of its own size.
        help_box = open_box(wine, hwnd, IDM_HELP)
        check(help_box["rect"] != first["rect"], "Help shows a box of its own",
              f"not {first['rect']}", help_box["rect"])
        wine.wintool("click-button", help_box["hwnd"], IDC_OK)
        wait_box_closed(wine, hwnd, help_box, "Help")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


def test_about_chosen_in_the_system_menu_with_the_mouse(session, build_dir):
    with session() as wine:
        process, hwnd = start_pivotrix(wine, wine.path("run"))
        choose_control_item(wine, hwnd, IDM_ABOUT)
        box = wait_box(wine)
        check_box(wine, hwnd, box, "About")
        left, top, right, bottom = (int(v) for v in
                                    wine.wintool("itemrect", box["hwnd"], IDC_OK)[0].split())
        wine.click((left + right) // 2, (top + bottom) // 2, button=1)
        wait_box_closed(wine, hwnd, box, "About")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


# On a 320x240 desktop the About box is larger than the screen both ways, so it sits at
# (0, 0), while the smaller Help box still fits and is centred; the test checks both sizes.
def test_box_larger_than_the_screen_sits_at_top_left(session, build_dir):
    with session(size=(320, 240)) as wine:
        screen = wine.wintool("screen")
        check(screen == ["320 240"], "the small desktop", ["320 240"], screen)
        process, hwnd = start_pivotrix(wine, wine.path("run"))
        box = open_box(wine, hwnd, IDM_ABOUT)
        left, top, right, bottom = box["rect"]
        check(right - left > 320 and bottom - top > 240, "the About box is larger than the "
              "screen", "wider than 320 and higher than 240", box["rect"])
        check((left, top) == (0, 0), "the About box sits at the top left", (0, 0), box["rect"])
        check_box(wine, hwnd, box, "About")
        wine.wintool("click-button", box["hwnd"], IDC_OK)
        wait_box_closed(wine, hwnd, box, "About")

        box = open_box(wine, hwnd, IDM_HELP)
        left, top, right, bottom = box["rect"]
        check(left > 0 and top > 0, "the smaller Help box is away from the corner", "> 0",
              box["rect"])
        check_box(wine, hwnd, box, "Help")
        wine.wintool("click-button", box["hwnd"], IDC_OK)
        wait_box_closed(wine, hwnd, box, "Help")
        check(close_pivotrix(wine, process, hwnd) == 0, "exit code", 0, process.returncode)


if __name__ == "__main__":
    sys.exit(run_tests(globals()))
