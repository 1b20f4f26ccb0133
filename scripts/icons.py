#!/usr/bin/env python3
"""Draws the tools' icons and writes them as Windows .ico files (16 colours, 32x32 and 16x16).

Each picture is a list of shapes in a unit square, painted in order over a transparent ground,
and sampled at the centre of every pixel, so one drawing serves every size.

    python3 scripts/icons.py NAME OUT.ico
"""
import struct
import sys

# The standard 16-colour palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


def rect(x0, y0, x1, y1, colour):
    return lambda x, y: colour if x0 <= x < x1 and y0 <= y < y1 else None


def ellipse(cx, cy, rx, ry, colour):
    return lambda x, y: colour if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1 else None


# Pictures may also be drawn cell by cell on the 32x32 grid. The 16x16 image samples pixel (i, j)
# at the top-left corner of cell (2i+1, 2j+1), which counts as inside that cell, so it shows
# exactly the odd cells: a drawing whose odd cells make a good picture reads at both sizes.
GRID = 32


def cells(col0, row0, col1, row1, colour):
    """The cells from (col0, row0) up to but not including (col1, row1)."""
    return rect(col0 / GRID, row0 / GRID, col1 / GRID, row1 / GRID, colour)


def arrowhead(col, row, dx, dy, length, colour):
    """A stepped arrowhead with its tip at cell (col, row), pointing along (dx, dy), one of the
    four axis directions, and widening by a cell each side per row back, `length` rows long."""
    def shape(x, y):
        c, r = int(x * GRID), int(y * GRID)
        back = (col - c) * dx + (row - r) * dy
        side = abs((c - col) * dy) + abs((r - row) * dx)
        return colour if 0 <= back < length and side <= back else None
    return shape


# Nudgel: a monitor whose blue screen carries a yellow exclamation mark.
NUDGEL = [
    rect(0.06, 0.08, 0.94, 0.72, BLACK),
    rect(0.09, 0.11, 0.91, 0.69, SILVER),
    rect(0.16, 0.17, 0.84, 0.63, NAVY),
    rect(0.44, 0.72, 0.56, 0.82, GREY),
    rect(0.25, 0.82, 0.75, 0.92, BLACK),
    rect(0.28, 0.84, 0.72, 0.90, GREY),
    rect(0.44, 0.22, 0.56, 0.47, YELLOW),
    rect(0.44, 0.51, 0.56, 0.59, YELLOW),
]

# Zenpick: a monitor with a white double arrow across its teal screen, the width of the
# screen's mode. Everything is centred on cell (15, 11), so both sizes come out symmetric.
ZENPICK = [
    cells(1, 1, 30, 22, BLACK),
    cells(3, 3, 28, 20, SILVER),
    cells(5, 5, 26, 18, TEAL),
    cells(12, 22, 19, 26, GREY),
    cells(6, 26, 25, 30, BLACK),
    cells(8, 28, 23, 29, GREY),
    cells(9, 10, 22, 13, WHITE),
    arrowhead(6, 11, -1, 0, 6, WHITE),
    arrowhead(24, 11, 1, 0, 6, WHITE),
]

# Zenpick in the notification area, shown at 16x16: a bold black monitor with a bright aqua
# screen.
ZENPICK_TRAY = [
    rect(0.00, 0.06, 1.00, 0.75, BLACK),
    rect(0.13, 0.19, 0.87, 0.63, AQUA),
    rect(0.38, 0.75, 0.62, 0.88, BLACK),
    rect(0.19, 0.88, 0.81, 1.00, BLACK),
]

# Keldor: two screens side by side, and a window held on the right one, clear of the seam.
KELDOR = [
    cells(0, 5, 16, 23, BLACK),
    cells(16, 5, 32, 23, BLACK),
    cells(2, 7, 15, 21, TEAL),
    cells(17, 7, 30, 21, TEAL),
    cells(19, 9, 29, 19, WHITE),
    cells(19, 9, 29, 11, NAVY),
    cells(6, 23, 10, 26, GREY),
    cells(22, 23, 26, 26, GREY),
    cells(3, 26, 13, 28, BLACK),
    cells(19, 26, 29, 28, BLACK),
]

# lumora2.cpl's monitor selection: a monitor whose screen lists models, one of them picked.
MONITOR_SELECT = [
    cells(1, 2, 31, 23, BLACK),
    cells(3, 4, 29, 21, SILVER),
    cells(5, 6, 27, 19, NAVY),
    cells(7, 8, 25, 10, WHITE),
    cells(7, 11, 25, 14, YELLOW),
    cells(7, 15, 25, 17, WHITE),
    cells(13, 23, 19, 26, GREY),
    cells(7, 26, 25, 30, BLACK),
    cells(9, 27, 23, 29, GREY),
]

# lumora2.cpl's alignment options: two screens, a maximised window filling the left one only.
TWIN_CONTROL = [
    cells(0, 5, 16, 23, BLACK),
    cells(16, 5, 32, 23, BLACK),
    cells(2, 7, 15, 21, TEAL),
    cells(17, 7, 30, 21, TEAL),
    cells(2, 7, 15, 21, WHITE),
    cells(2, 7, 15, 10, BLUE),
    cells(6, 23, 10, 26, GREY),
    cells(22, 23, 26, 26, GREY),
    cells(3, 26, 13, 28, BLACK),
    cells(19, 26, 29, 28, BLACK),
]

# The restart prompt: a monitor showing a green power sign.
RESTART = [
    cells(1, 2, 31, 23, BLACK),
    cells(3, 4, 29, 21, SILVER),
    cells(5, 6, 27, 19, NAVY),
    ellipse(0.5, 0.39, 0.19, 0.19, LIME),
    ellipse(0.5, 0.39, 0.12, 0.12, NAVY),
    cells(14, 5, 18, 11, NAVY),
    cells(15, 6, 17, 13, LIME),
    cells(13, 23, 19, 26, GREY),
    cells(7, 26, 25, 30, BLACK),
    cells(9, 27, 23, 29, GREY),
]

PICTURES = {"nudgel": NUDGEL, "zenpick": ZENPICK, "zenpick_tray": ZENPICK_TRAY, "keldor": KELDOR,
            "monitor_select": MONITOR_SELECT, "twin_control": TWIN_CONTROL, "restart": RESTART}
# The applet's icons hold one 32x32 image each; the others also carry a 16x16 one.
SIZES = {"monitor_select": (32,), "twin_control": (32,), "restart": (32,)}


def render(shapes, size):
    """Rows of palette indices, None where transparent, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = (px + 0.5) / size, (py + 0.5) / size
            colour = None
            for shape in shapes:
                hit = shape(x, y)
                if hit is not None:
                    colour = hit
            row.append(colour)
        rows.append(row)
    return rows


def dib(rows):
    """A 4-bit icon image: header, palette, colour bits and the transparency mask, bottom-up."""
    size = len(rows)
    xor = bytearray()
    mask = bytearray()
    xor_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    for row in reversed(rows):
        line = bytearray(xor_stride)
        bits = bytearray(mask_stride)
        for px, colour in enumerate(row):
            index = 0 if colour is None else colour
            line[px // 2] |= index << (4 if px % 2 == 0 else 0)
            if colour is None:
                bits[px // 8] |= 0x80 >> (px % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def write_ico(path, shapes, sizes=(32, 16)):
    images = [dib(render(shapes, size)) for size in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in PICTURES:
        sys.exit("usage: icons.py {%s} OUT.ico" % ",".join(PICTURES))
    write_ico(sys.argv[2], PICTURES[sys.argv[1]], SIZES.get(sys.argv[1], (32, 16)))
