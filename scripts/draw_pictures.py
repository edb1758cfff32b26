#!/usr/bin/env python3
"""Draw Pivotrix's bitmaps and icon into program/res/.

Everything is drawn pixel by pixel here, so the output is the same on
every run.  Only the standard library is used.

    python3 scripts/draw_pictures.py

Writes seven 16-colour BMPs (button faces) and pivotrix.ico (32x32,
16 colours).
"""

import os
import struct

# Standard 16-colour Windows/VGA palette, as (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0  black
    (0x80, 0x00, 0x00),  # 1  dark red
    (0x00, 0x80, 0x00),  # 2  dark green
    (0x80, 0x80, 0x00),  # 3  dark yellow
    (0x00, 0x00, 0x80),  # 4  dark blue
    (0x80, 0x00, 0x80),  # 5  dark magenta
    (0x00, 0x80, 0x80),  # 6  dark cyan
    (0xC0, 0xC0, 0xC0),  # 7  light grey
    (0x80, 0x80, 0x80),  # 8  dark grey
    (0xFF, 0x00, 0x00),  # 9  red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]

BLACK, DKRED, DKGREEN, DKYELLOW, DKBLUE, DKMAGENTA, DKCYAN, LTGREY = range(8)
DKGREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)

# Characters used in the little pixel patterns below.  '.' leaves the
# pixel underneath alone.
PATTERN_COLOURS = {
    '#': BLACK,
    'k': BLACK,
    'r': RED,
    'g': GREEN,
    'b': BLUE,
    'y': YELLOW,
    'd': DKGREY,
    'w': WHITE,
    'l': LTGREY,
}


class Canvas:
    def __init__(self, width, height, fill=LTGREY):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fill the rectangle with corners (x0, y0) and (x1, y1), inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        """One-pixel outline of a rectangle, corners inclusive."""
        for x in range(x0, x1 + 1):
            self.set(x, y0, colour)
            self.set(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.set(x0, y, colour)
            self.set(x1, y, colour)

    def pattern(self, x0, y0, rows):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.set(x0 + dx, y0 + dy, PATTERN_COLOURS[ch])


def button(width, height):
    """A raised grey button face: white top/left, black and dark grey
    bottom/right."""
    c = Canvas(width, height, LTGREY)
    for x in range(width):
        c.set(x, 0, WHITE)
        c.set(x, height - 2, DKGREY)
        c.set(x, height - 1, BLACK)
    for y in range(height):
        c.set(0, y, WHITE)
        c.set(width - 2, y, DKGREY)
        c.set(width - 1, y, BLACK)
    # Shadow wins at the two mixed corners, highlight stays at the top left.
    c.set(width - 2, 0, WHITE)
    c.set(0, height - 2, WHITE)
    c.set(width - 1, 0, BLACK)
    c.set(0, height - 1, BLACK)
    return c


# --- the four-pane flag logo ------------------------------------------------

def flag(pane_w, pane_h, wave, streaks):
    """Pattern rows for the waving four-pane flag.

    wave[x] pushes column x of the flag down by that many pixels, which
    bends the panes into a gentle wave.  streaks are the motion dashes
    drawn to the left of the flag, one string per row.
    """
    width = 2 * pane_w + 1
    height = 2 * pane_h + 1 + max(wave)
    grid = [['.'] * width for _ in range(height)]
    for x in range(width):
        if x == pane_w:
            continue                      # the vertical gap
        left = x < pane_w
        top = wave[x]
        for y in range(pane_h):
            grid[top + y][x] = 'r' if left else 'g'
            grid[top + pane_h + 1 + y][x] = 'b' if left else 'y'
    streak_w = len(streaks[0])
    rows = []
    for y in range(height):
        s = streaks[y] if y < len(streaks) else '.' * streak_w
        rows.append(s + ''.join(grid[y]))
    return rows


# Small version, fits a 16 x 14 button.
FLAG_SMALL = flag(5, 4, [1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1],
                  ["..", "..", "#.", "..", "#.", "..", "#.", "..", "#.", ".."])

# Larger version for the start button.
FLAG_LARGE = flag(6, 5, [1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1],
                  ["....", "....", "..#.", "....", ".##.", "....",
                   "....", "..#.", "....", ".##.", "....", "...."])


# --- a small bold pixel font, just the letters of "Start" --------------------
# Nine rows from cap height to the baseline.

GLYPHS = {
    'S': [
        ".#####.",
        "##...##",
        "##.....",
        "###....",
        ".#####.",
        "....###",
        ".....##",
        "##...##",
        ".#####.",
    ],
    't': [
        "....",
        ".##.",
        ".##.",
        "####",
        ".##.",
        ".##.",
        ".##.",
        ".##.",
        "..##",
    ],
    'a': [
        "......",
        "......",
        "......",
        ".####.",
        "....##",
        ".#####",
        "##..##",
        "##..##",
        ".#####",
    ],
    'r': [
        ".....",
        ".....",
        ".....",
        "##.##",
        "#####",
        "###..",
        "##...",
        "##...",
        "##...",
    ],
}


def text_width(text):
    return sum(len(GLYPHS[ch][0]) for ch in text) + (len(text) - 1)


def draw_text(canvas, x, y, text):
    for ch in text:
        canvas.pattern(x, y, GLYPHS[ch])
        x += len(GLYPHS[ch][0]) + 1


# --- the pictures -------------------------------------------------------------

def draw_menustart():
    c = button(57, 20)
    flag_h = len(FLAG_LARGE)
    flag_w = len(FLAG_LARGE[0])
    c.pattern(3, (20 - 2 - flag_h) // 2 + 1, FLAG_LARGE)
    tx = 3 + flag_w + 3
    draw_text(c, tx, 5, "Start")
    return c


def draw_xmenustart():
    c = button(16, 14)
    c.pattern(1, 2, FLAG_SMALL)
    return c


def draw_xfreespot():
    c = button(16, 14)
    for row in range(5):
        for col in range(6):
            c.set(2 + 2 * col, 2 + 2 * row, BLACK)
    return c


def window_glyph(c, x0, y0, x1, y1):
    """A window outline with a two-pixel caption edge on top; the inside
    is cleared to the button face."""
    c.rect(x0, y0, x1, y1, LTGREY)
    c.frame(x0, y0, x1, y1, BLACK)
    c.rect(x0, y0, x1, y0 + 1, BLACK)


def draw_xrestore():
    c = button(16, 14)
    window_glyph(c, 6, 2, 11, 7)   # the one behind
    window_glyph(c, 3, 5, 8, 10)   # the one in front
    return c


def draw_xmaximize():
    c = button(16, 14)
    window_glyph(c, 3, 2, 11, 10)
    return c


def draw_xminimize():
    c = button(16, 14)
    c.rect(4, 9, 10, 10, BLACK)
    return c


def draw_xclose():
    c = button(16, 14)
    for i in range(8):
        y = 2 + i
        c.set(3 + i, y, BLACK)
        c.set(4 + i, y, BLACK)
        c.set(10 - i, y, BLACK)
        c.set(11 - i, y, BLACK)
    return c


def draw_icon():
    """32 x 32: a grey framed square, a green panel and a taller yellow
    menu beside it."""
    c = Canvas(32, 32, LTGREY)
    # Outer frame: black outline, raised grey bevel, sunken inner edge.
    c.frame(0, 0, 31, 31, BLACK)
    c.rect(1, 1, 30, 1, WHITE)
    c.rect(1, 1, 1, 30, WHITE)
    c.rect(1, 30, 30, 30, DKGREY)
    c.rect(30, 1, 30, 30, DKGREY)
    c.rect(3, 3, 28, 3, DKGREY)
    c.rect(3, 3, 3, 28, DKGREY)
    c.rect(4, 28, 28, 28, WHITE)
    c.rect(28, 4, 28, 28, WHITE)
    c.rect(4, 4, 27, 27, DKCYAN)

    # Green panel (a window) on the left.
    c.rect(6, 10, 17, 24, GREEN)
    c.frame(6, 10, 17, 24, BLACK)
    c.rect(7, 11, 16, 12, DKGREEN)      # its caption

    # Yellow menu to its right, taller, with a drop shadow.
    c.rect(17, 7, 26, 27, DKGREY)       # shadow (bottom/right), overdrawn below
    c.rect(16, 6, 25, 26, YELLOW)
    c.frame(16, 6, 25, 26, BLACK)
    for y in (9, 12, 15):
        c.rect(18, y, 23, y, BLACK)
    c.rect(17, 18, 24, 18, DKYELLOW)    # separator
    for y in (21, 24):
        c.rect(18, y, 22, y, BLACK)
    return c


# --- file writers ---------------------------------------------------------------

def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)


def pack_4bpp_rows(canvas):
    """Bottom-up 4 bpp pixel rows, each padded to four bytes."""
    out = bytearray()
    stride = ((canvas.width * 4 + 31) // 32) * 4
    for y in range(canvas.height - 1, -1, -1):
        row = canvas.px[y]
        line = bytearray()
        for x in range(0, canvas.width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < canvas.width else 0
            line.append((hi << 4) | lo)
        line.extend(b'\0' * (stride - len(line)))
        out.extend(line)
    return bytes(out)


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII',
                       40, width, height, 1, 4, 0,  # BI_RGB
                       image_size, 0, 0, 16, 0)


def bmp_bytes(canvas):
    bits = pack_4bpp_rows(canvas)
    pal = palette_bytes()
    offset = 14 + 40 + len(pal)
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return header + info_header(canvas.width, canvas.height, len(bits)) + pal + bits


def ico_bytes(canvas):
    xor_bits = pack_4bpp_rows(canvas)
    and_stride = ((canvas.width + 31) // 32) * 4
    and_bits = b'\0' * (and_stride * canvas.height)   # fully opaque
    image = (info_header(canvas.width, canvas.height * 2,
                         len(xor_bits) + len(and_bits))
             + palette_bytes() + xor_bits + and_bits)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', canvas.width, canvas.height, 16, 0,
                        1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res = os.path.join(here, os.pardir, 'program', 'res')
    os.makedirs(res, exist_ok=True)

    bitmaps = [
        ('menustart.bmp', draw_menustart),
        ('xmenustart.bmp', draw_xmenustart),
        ('xfreespot.bmp', draw_xfreespot),
        ('xrestore.bmp', draw_xrestore),
        ('xmaximize.bmp', draw_xmaximize),
        ('xminimize.bmp', draw_xminimize),
        ('xclose.bmp', draw_xclose),
    ]
    for name, draw in bitmaps:
        with open(os.path.join(res, name), 'wb') as f:
            f.write(bmp_bytes(draw()))
    with open(os.path.join(res, 'pivotrix.ico'), 'wb') as f:
        f.write(ico_bytes(draw_icon()))


if __name__ == '__main__':
    main()
