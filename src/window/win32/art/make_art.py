#!/usr/bin/env python3
"""Writes the pictures of the Windows program's resources from the pixel maps
below: quindelar.ico (the 32 x 32, 16-colour program and window icon) and
glyphs.bmp (ImageList1: a 32 x 16 strip of two 16 x 16 glyphs, magenta marking
the transparent pixels). Run it again after changing a map; the outputs are
kept beside it so that the build needs no Python."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the icon (the standard VGA set), as (r, g, b).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

FOLDER = [  # D: the face, dithered yellow and white
    "................",
    "................",
    ".KKKKK..........",
    "KDDDDDK.........",
    "KDDDDDDKKKKKKKK.",
    "KDDDDDDDDDDDDDK.",
    "KDDDDDDDDDDDDDK.",
    "KDDDDDDDDDDDDDK.",
    "KDDDDDDDDDDDDDK.",
    "KDDDDDDDDDDDDDK.",
    "KDDDDDDDDDDDDDK.",
    "KDDDDDDDDDDDDDK.",
    "KDDDDDDDDDDDDDK.",
    "KKKKKKKKKKKKKKK.",
    "................",
    "................",
]

BIN = [  # W white, L light grey, G dark grey
    "......KKKK......",
    ".....K....K.....",
    ".KKKKKKKKKKKKKK.",
    ".KLLLLLLLLLLLLK.",
    ".KKKKKKKKKKKKKK.",
    "..KWLGWLGWLGWK..",
    "KKKWLGWLGWLGWKKK",
    "K.KWLGWLGWLGWK.K",
    "KKKWLGWLGWLGWKKK",
    "..KWLGWLGWLGWK..",
    "..KWLGWLGWLGWK..",
    "..KWLGWLGWLGWK..",
    "..KWLGWLGWLGWK..",
    "..KWLGWLGWLGWK..",
    "..KKKKKKKKKKKK..",
    "................",
]

GLYPH_RGB = {"K": (0, 0, 0), "W": (255, 255, 255), "L": (192, 192, 192),
             "G": (128, 128, 128), "Y": (255, 255, 0), ".": (255, 0, 255)}


def glyph_pixel(rows, x, y):
    c = rows[y][x]
    if c == "D":
        c = "Y" if (x + y) % 2 == 0 else "W"
    return GLYPH_RGB[c]


def write_glyphs(path):
    width, height = 32, 16
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):  # bottom-up
        row = bytearray()
        for x in range(width):
            rows = FOLDER if x < 16 else BIN
            r, g, b = glyph_pixel(rows, x % 16, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def icon_pixel(x, y):
    """Colour index of the icon at (x, y), or None where it is transparent:
    a framed landscape photo, sun over green hills under a blue sky."""
    if x < 1 or x > 30 or y < 3 or y > 28:
        return None
    if x in (1, 30) or y in (3, 28):
        return 0  # frame outline
    if x in (2, 29) or y in (4, 27):
        return 15  # the photo's white border
    # hills: two sine-like humps
    h1 = 19 - 5 * math.sin((x - 2) / 27 * math.pi)
    h2 = 23 - 3 * math.sin((x - 10) / 12 * math.pi) if 10 <= x <= 26 else 99
    if y >= h2:
        return 10
    if y >= h1:
        return 2
    if (x - 22) ** 2 + (y - 10) ** 2 <= 10:
        return 11  # sun
    return 14  # sky


def write_icon(path):
    size = 32
    xor = bytearray()
    andmask = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(0, size, 2):
            a = icon_pixel(x, y) or 0
            b = icon_pixel(x + 1, y) or 0
            row.append((a << 4) | b)
        xor += row
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (1 if icon_pixel(x, y) is None else 0)
        andmask += struct.pack(">I", bits)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(andmask),
                       0, 0, 16, 0)
    image = info + palette + xor + andmask
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1) + entry + image)


if __name__ == "__main__":
    write_glyphs(os.path.join(HERE, "glyphs.bmp"))
    write_icon(os.path.join(HERE, "quindelar.ico"))
