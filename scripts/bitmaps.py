#!/usr/bin/env python3
"""Draws the pan-stop button's two pictures and writes them as Windows .bmp files: 53 x 48
pixels, 8 bits per pixel with a 256-entry palette.

    python3 scripts/bitmaps.py go OUT.bmp     the word GO in green between two arrows
    python3 scripts/bitmaps.py stop OUT.bmp   the word STOP in red between two arrows
"""
import struct
import sys

WIDTH, HEIGHT = 53, 48
# Palette entries used (R, G, B); the rest of the 256 are black.
PALETTE = [(0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128), (0, 160, 0),
           (208, 0, 0)]
BLACK, WHITE, FACE, SHADOW, GREEN, RED = range(6)

# Capitals, 5 x 7, one string per row.
GLYPHS = {
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
}


def face():
    """The raised button: black outline, white light from the top left, grey shadow."""
    rows = [[FACE] * WIDTH for _ in range(HEIGHT)]
    for x in range(WIDTH):
        rows[0][x] = rows[HEIGHT - 1][x] = BLACK
        rows[1][x] = WHITE
        rows[HEIGHT - 2][x] = SHADOW
    for y in range(HEIGHT):
        rows[y][0] = rows[y][WIDTH - 1] = BLACK
        if 0 < y < HEIGHT - 1:
            rows[y][1] = WHITE
            rows[y][WIDTH - 2] = SHADOW
    return rows


def arrow(rows, tip_y, pointing_up):
    """A black arrow 9 pixels wide at the centre: a head of 5 rows and a stem of 4."""
    cx = WIDTH // 2
    for i in range(5):
        y = tip_y + i if pointing_up else tip_y - i
        for x in range(cx - i, cx + i + 1):
            rows[y][x] = BLACK
    for i in range(5, 9):
        y = tip_y + i if pointing_up else tip_y - i
        for x in range(cx - 1, cx + 2):
            rows[y][x] = BLACK


def word(rows, text, colour, scale):
    width = (len(text) * 6 - 1) * scale
    left = (WIDTH - width) // 2
    top = (HEIGHT - 7 * scale) // 2
    for n, letter in enumerate(text):
        for gy, line in enumerate(GLYPHS[letter]):
            for gx, bit in enumerate(line):
                if bit != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        rows[top + gy * scale + dy][left + (n * 6 + gx) * scale + dx] = colour


def picture(name):
    rows = face()
    arrow(rows, 4, True)
    arrow(rows, HEIGHT - 5, False)
    if name == "go":
        word(rows, "GO", GREEN, 2)
    else:
        word(rows, "STOP", RED, 1)
    return rows


def write_bmp(path, rows):
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
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + bits)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("go", "stop"):
        sys.exit("usage: bitmaps.py {go,stop} OUT.bmp")
    write_bmp(sys.argv[2], picture(sys.argv[1]))
