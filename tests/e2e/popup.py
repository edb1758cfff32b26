"""Finding Pivotrix's popup on the screen and its items, from outside.

Another process's menu can't be read, so items are located from pixels: the popup's
"#32768" window is captured and its separators (etched rows that span the menu) split it
into groups; items within a group have equal heights.
"""

from pivotrix import screen_pixels
from winenv import check, wait_for


def wait_popup(wine, timeout=5):
    """The rectangle (left, top, right, bottom) of the one visible popup."""
    menus = wait_for(wine.menus, timeout, "a popup menu")
    check(len(menus) == 1, "exactly one popup menu is shown", 1, menus)
    return menus[0]


def popup_groups(wine, rect):
    """Screen (top, bottom) spans of the popup's item groups, between its separators."""
    rows = screen_pixels(wine, rect)
    width = len(rows[0])
    border = rows[0][width // 2]  # the frame and the separators share one colour
    separators = [y for y, row in enumerate(rows[1:-1], start=1)
                  if sum(1 for pixel in row if pixel == border) >= 0.8 * width]
    groups = []
    start = 1
    for y in separators + [len(rows) - 1]:
        if y - start > 2:  # a separator is a few rows high; skip its other rows
            groups.append((rect[1] + start, rect[1] + y))
        start = y + 1
    return groups


def item_centre(wine, rect, group, index=0, count=1):
    """Screen point at the middle of item `index` of `count` equal items in group `group`."""
    groups = popup_groups(wine, rect)
    check(group < len(groups), f"the popup has a group {group}", f"> {group} groups", groups)
    top, bottom = groups[group]
    height = (bottom - top) / count
    return (rect[0] + rect[2]) // 2, int(top + height * (index + 0.5))


def choose(wine, rect, group, index=0, count=1):
    """Clicks an item of the popup with the real mouse and waits for the popup to close."""
    wine.click(*item_centre(wine, rect, group, index, count))
    wait_for(lambda: not wine.menus(), 5, "the popup to close after a choice")
