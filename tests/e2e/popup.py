"""Finding Pivotrix's popup on the screen and its items, from outside.

Another process's menu can't be read, so items are located from pixels: the popup's
"#32768" window is captured and its separators (found as in the system menu, by
pivotrix.menu_separator_lines) split it into groups; items within a group have equal
heights.
"""

from pivotrix import WM_CANCELMODE, menu_separator_lines, wait_painted
from winenv import INSIDE, check, wait_for


def wait_popup(wine, timeout=5):
    """The rectangle (left, top, right, bottom) of the one visible popup."""
    menus = wait_for(wine.menus, timeout, "a popup menu")
    check(len(menus) == 1, "exactly one popup menu is shown", 1, menus)
    return wait_painted(wine, menus[0])


def popup_groups(wine, rect):
    """Screen (top, bottom) spans of the popup's item groups, between its separators (each
    two rows high) and inside its frame."""
    bounds = [rect[1] - 1] + menu_separator_lines(wine, rect) + [rect[3] - 1]
    return [(top + 2, bottom) for top, bottom in zip(bounds, bounds[1:])]


def item_centre(wine, rect, group, index=0, count=1):
    """Screen point at the middle of item `index` of `count` equal items in group `group`."""
    groups = popup_groups(wine, rect)
    check(group < len(groups), f"the popup has a group {group}", f"> {group} groups", groups)
    top, bottom = groups[group]
    height = (bottom - top) / count
    return (rect[0] + rect[2]) // 2, int(top + height * (index + 0.5))


def dismiss(wine, point):
    """A left click at point, outside every menu, closes the open menu."""
    wine.click(*point)
    wait_for(lambda: not wine.menus(), 5, f"the menu to close after a click at {point}")


def choose(wine, rect, group, index=0, count=1):
    """Clicks an item of the popup with the real mouse and waits for the popup to close."""
    wine.click(*item_centre(wine, rect, group, index, count))
    wait_for(lambda: not wine.menus(), 5, "the popup to close after a choice")


def both_menus(wine, point):
    """Right-clicks at point; returns (popup, the program's own menu) once both are shown."""
    wine.click(*point, button=3)
    menus = wait_for(lambda: len(m := wine.menus()) == 2 and m, 5,
                     "the program's own menu and the popup")
    popup = [m for m in menus if m[2] == point[0]]    # right edge at the cursor
    own = [m for m in menus if m[0] == point[0]]      # left edge at the cursor
    check(len(popup) == 1 and len(own) == 1, "the popup left of the cursor, the program's "
          "menu right of it", "one of each", menus)
    return wait_painted(wine, popup[0]), wait_painted(wine, own[0])


def end_menu_left_open(wine, owner):
    """Ends the program's own menu (owned by window owner) when it is still open after the
    popup has closed. With two menu loops in two programs, Wine gives the mouse to the loop
    that started first; when that was the popup's, the program's menu, left alone, sees no
    click elsewhere. Its owner is told to end it, as the system does when it cancels a mode."""
    if wine.menus():
        wine.post(owner, WM_CANCELMODE)
        wait_for(lambda: not wine.menus(), 5, "the program's menu ended by WM_CANCELMODE")


def open_own_start_menu(wine, point=INSIDE):
    """Right-clicks at point and chooses the popup's Start item, where no classic taskbar
    is; returns (the point chosen, Pivotrix's own Start menu's rectangle) once it shows."""
    wine.click(*point, button=3)
    popup = wait_popup(wine)
    chosen = item_centre(wine, popup, group=0)
    wine.click(*chosen)
    menus = wait_for(lambda: (m := wine.menus()) and popup not in m and m, 5,
                     "Pivotrix's own Start menu")
    check(len(menus) == 1, "one Start menu", 1, menus)
    return chosen, wait_painted(wine, menus[0])


def open_find_box(wine, point=INSIDE):
    """Opens Pivotrix's own Start menu at point and chooses its Find item with its access
    key, F; returns (the point chosen, the Find box's handle, its rectangle) once the box
    shows."""
    chosen, _ = open_own_start_menu(wine, point)
    wine.key("f")
    box = wine.wintool("waitwindow", "PivotrixFind", "Find", 5000)[0].split()
    return chosen, box[0], tuple(int(v) for v in box[7:11])
