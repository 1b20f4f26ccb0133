#!/usr/bin/env python3
"""Draws the pan-stop button's two pictures and writes them as Windows .bmp files: 53 x 48
pixels, 8 bits per pixel with a 256-entry palette, bottom-up rows.

Both show a raised grey button face with a black arrow pointing up at the top and one pointing
down at the bottom; between them "go" carries the word GO in green and "stop" the word STOP in
red. The letters come from the two small pixel fonts below, so the pictures need nothing but
the standard library.

    python3 scripts/bitmaps.py go OUT.bmp
    python3 scripts/bitmaps.py stop OUT.bmp
"""
import struct
import sys

WIDTH, HEIGHT = 53, 48
CENTRE = WIDTH // 2  # the middle column; everything is drawn symmetric about it

# The palette entries in use (R, G, B); the rest of the 256 are black.
PALETTE = [
    (0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128), (0, 160, 0), (200, 0, 0),
]
BLACK, WHITE, FACE, SHADOW, GREEN, RED = range(len(PALETTE))

# Capitals 5 wide and 7 high with single strokes, drawn twice the size for GO.
THIN = {
    "G": [".###.",
          "#...#",
          "#....",
          "#.###",
          "#...#",
          "#...#",
          ".###."],
    "O": [".###.",
          "#...#",
          "#...#",
          "#...#",
          "#...#",
          "#...#",
          ".###."],
}

# Capitals 6 wide and 10 high with strokes two pixels thick, so that STOP, which must fit the
# button at its natural size, has the same weight as GO.
BOLD = {
    "S": [".#####",
          "######",
          "##....",
          "##....",
          "#####.",
          ".#####",
          "....##",
          "....##",
          "######",
          "#####."],
    "T": ["######",
          "######",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##.."],
    "O": [".####.",
          "######",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "######",
          ".####."],
    "P": ["#####.",
          "######",
          "##..##",
          "##..##",
          "######",
          "#####.",
          "##....",
          "##....",
          "##....",
          "##...."],
}

# Each picture's word: its font, the scale, the pixels between letters and the colour. The
# widths come out odd (23 and 33), so the words centre exactly under the arrows.
WORDS = {
    "go": ("GO", THIN, 2, 3, GREEN),
    "stop": ("STOP", BOLD, 1, 3, RED),
}

ARROW_HEAD = 5  # rows of the head, which widens by a pixel each side per row
ARROW_STEM = 4  # rows of the stem, three pixels wide
ARROW_MARGIN = 4  # rows between the tip and the button's outer edge


def face():
    """The raised button: a black outline, white light from the top left, grey shadow at the
    bottom right, and the grey face inside; rows of palette indices, top row first."""
    rows = [[FACE] * WIDTH for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if x in (0, WIDTH - 1) or y in (0, HEIGHT - 1):
                rows[y][x] = BLACK
            elif x == WIDTH - 2 or y == HEIGHT - 2:
                rows[y][x] = SHADOW
            elif x == 1 or y == 1:
                rows[y][x] = WHITE
    return rows


def arrow(rows, tip, step):
    """A black arrow on the middle column with its tip in row `tip`; step -1 points it up
    (the rest of it lies below the tip), +1 points it down."""
    for i in range(ARROW_HEAD + ARROW_STEM):
        half = i if i < ARROW_HEAD else 1
        y = tip - step * i
        for x in range(CENTRE - half, CENTRE + half + 1):
            rows[y][x] = BLACK


def word(rows, name):
    """The picture's word, centred on the button."""
    text, font, scale, gap, colour = WORDS[name]
    glyph_width = len(font[text[0]][0])
    glyph_height = len(font[text[0]])
    advance = glyph_width * scale + gap
    width = len(text) * advance - gap
    left = CENTRE - width // 2
    top = (HEIGHT - glyph_height * scale) // 2
    for n, letter in enumerate(text):
        x0 = left + n * advance
        for gy, line in enumerate(font[letter]):
            for gx, bit in enumerate(line):
                if bit != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        rows[top + gy * scale + dy][x0 + gx * scale + dx] = colour


def picture(name):
    rows = face()
    arrow(rows, ARROW_MARGIN, -1)
    arrow(rows, HEIGHT - 1 - ARROW_MARGIN, 1)
    word(rows, name)
    return rows


def write_bmp(path, rows):
    """Writes the rows as an uncompressed 8-bit .bmp: file header, BITMAPINFOHEADER, the full
    palette as blue, green, red, 0, and the rows bottom-up, each padded to 4 bytes."""
    stride = (WIDTH + 3) // 4 * 4
    bits = bytearray()
    for row in reversed(rows):
        bits += bytes(row) + bytes(stride - WIDTH)
    palette = bytearray()
    for i in range(256):
        r, g, b = PALETTE[i] if i < len(PALETTE) else (0, 0, 0)
        palette += struct.pack("<BBBB", b, g, r, 0)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(bits), 2835, 2835,
                       256, 0)
    with open(path, "wb") as f:
        f.write(header + info + bytes(palette) + bytes(bits))


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in WORDS:
        sys.exit("usage: bitmaps.py {%s} OUT.bmp" % ",".join(WORDS))
    write_bmp(sys.argv[2], picture(sys.argv[1]))
