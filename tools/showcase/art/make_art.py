#!/usr/bin/env python3
"""Draws the showcase's icons and toolbar bitmap. The generated files are
committed beside this script; rerun it only to change the pictures:
    python3 tools/showcase/art/make_art.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The sixteen standard colours: the toolbar bitmap uses only these, as
# classic toolbar bitmaps do, so the menu library's colour remapping applies.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, GREY, SILVER, RED, LIME, YELLOW, BLUE, \
    FUCHSIA, AQUA, WHITE = VGA
CLEAR = None


def canvas():
    return [[CLEAR] * 16 for _ in range(16)]


def rect(c, x0, y0, x1, y1, colour):
    for y in range(y0, y1):
        for x in range(x0, x1):
            c[y][x] = colour


def frame(c, x0, y0, x1, y1, colour):
    for x in range(x0, x1):
        c[y0][x] = c[y1 - 1][x] = colour
    for y in range(y0, y1):
        c[y][x0] = c[y][x1 - 1] = colour


def disc(c, cx, cy, r, colour, ring=None):
    for y in range(16):
        for x in range(16):
            d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
            if d <= r * r:
                c[y][x] = colour
                if ring and d >= (r - 1.2) ** 2:
                    c[y][x] = ring


def open_folder():
    c = canvas()
    rect(c, 1, 3, 7, 5, OLIVE)
    rect(c, 1, 5, 15, 14, YELLOW)
    frame(c, 1, 5, 15, 14, OLIVE)
    return c


def save_disk():
    c = canvas()
    rect(c, 1, 1, 15, 15, NAVY)
    rect(c, 3, 2, 13, 8, WHITE)
    rect(c, 5, 10, 11, 15, GREY)
    rect(c, 9, 11, 10, 14, NAVY)
    return c


def printer():
    c = canvas()
    rect(c, 4, 1, 12, 7, WHITE)
    frame(c, 4, 1, 12, 7, BLACK)
    rect(c, 1, 6, 15, 13, GREY)
    frame(c, 1, 6, 15, 13, BLACK)
    rect(c, 11, 8, 13, 9, LIME)
    rect(c, 4, 11, 12, 15, WHITE)
    frame(c, 4, 11, 12, 15, BLACK)
    return c


def scissors():
    c = canvas()
    for i in range(10):
        c[1 + i][3 + i] = BLACK
        c[1 + i][12 - i] = BLACK
    disc(c, 4, 12.5, 2.6, WHITE, RED)
    disc(c, 12, 12.5, 2.6, WHITE, RED)
    return c


def info():
    c = canvas()
    disc(c, 8, 8, 7.5, BLUE, NAVY)
    rect(c, 7, 3, 9, 5, WHITE)
    rect(c, 7, 6, 9, 13, WHITE)
    return c


def find():
    c = canvas()
    disc(c, 6, 6, 5, AQUA, BLACK)
    for i in range(5):
        rect(c, 9 + i, 10 + i, 11 + i, 12 + i, MAROON)
    return c


PICTURES = [("open", open_folder), ("save", save_disk), ("print", printer),
            ("cut", scissors), ("info", info), ("find", find)]


def grey(colour):
    r, g, b = colour
    v = (r * 30 + g * 59 + b * 11) // 100
    return (v, v, v)


def write_icon(path, c):
    xor = b""
    for y in reversed(range(16)):
        for x in range(16):
            p = c[y][x]
            xor += struct.pack("<BBBB", p[2], p[1], p[0], 255) if p else b"\0\0\0\0"
    mask = b""
    for y in reversed(range(16)):
        bits = 0
        for x in range(16):
            if c[y][x] is None:
                bits |= 0x8000 >> x
        mask += struct.pack(">H", bits) + b"\0\0"
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    data = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as f:
        f.write(data + image)


def write_toolbar(path, pictures):
    width, height = 16 * len(pictures), 16
    stride = ((width * 4 + 31) // 32) * 4
    rows = b""
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            p = pictures[x // 16][y][x % 16]
            index = VGA.index(p if p else SILVER)
            row[x // 2] |= index << (0 if x % 2 else 4)
        rows += bytes(row)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(rows), 0, 0, 16, 0)
    offset = 14 + len(info_header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + info_header + palette + rows)


def main():
    drawn = []
    for name, draw in PICTURES:
        c = draw()
        drawn.append(c)
        write_icon(os.path.join(HERE, name + ".ico"), c)
        write_icon(os.path.join(HERE, name + "_grey.ico"),
                   [[grey(p) if p else None for p in row] for row in c])
    write_toolbar(os.path.join(HERE, "toolbar.bmp"), drawn)


if __name__ == "__main__":
    main()
