#!/usr/bin/env python3
"""Writes the program's icon for the desktop's icon theme: quindelar-N.png
(N x N pixels, RGBA) for every size in SIZES and quindelar.svg. The picture is
the one of the 32 x 32 program icon (src/window/win32/art/make_art.py): a
framed landscape photo, sun over green hills under the sky. At 32 pixels it is
that icon pixel for pixel; other sizes sample the same shapes 8 x 8 times per
pixel. Run it again after changing the shapes; the outputs are kept beside it
so that the build needs no Python."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
SKY = (0, 255, 255)
FAR_HILL = (0, 128, 0)
NEAR_HILL = (0, 255, 0)
SUN = (255, 255, 0)


def far_hill(x):
    return 19 - 5 * math.sin((x - 2) / 27 * math.pi)


def near_hill(x):
    return 23 - 3 * math.sin((x - 10) / 12 * math.pi) if 10 <= x <= 26 else 99


def colour_at(u, v):
    """Colour at the point (u, v) of the 32 x 32 design, or None outside it.
    Pixel (x, y) of the 32-pixel icon is the colour at its centre."""
    if u < 1 or u >= 31 or v < 3 or v >= 29:
        return None
    if u < 2 or u >= 30 or v < 4 or v >= 28:
        return BLACK
    if u < 3 or u >= 29 or v < 5 or v >= 27:
        return WHITE
    x, y = u - 0.5, v - 0.5
    if y >= near_hill(x):
        return NEAR_HILL
    if y >= far_hill(x):
        return FAR_HILL
    if (x - 22) ** 2 + (y - 10) ** 2 <= 10:
        return SUN
    return SKY


def render(size):
    scale = 32 / size
    if size == 32:
        samples = [(0.5, 0.5)]
    else:
        n = 8
        samples = [((i + 0.5) / n, (j + 0.5) / n) for j in range(n) for i in range(n)]
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sx, sy in samples:
                c = colour_at((px + sx) * scale, (py + sy) * scale)
                if c is not None:
                    r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row += bytes((round(r / a), round(g / a), round(b / a),
                              round(255 * a / len(samples))))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def write_png(path, size, rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def hill_path(height, x0, x1):
    points = [(x, height(x)) for x in [x0 + (x1 - x0) * i / 48 for i in range(49)]]
    # Curve points are at pixel centres in the pixel design: shift by half.
    d = "M%.2f,29 " % (x0 + 0.5) + " ".join(
        "L%.2f,%.2f" % (x + 0.5, y + 0.5) for x, y in points)
    return d + " L%.2f,29 Z" % (x1 + 0.5)


def hex_colour(c):
    return "#%02x%02x%02x" % c


def write_svg(path):
    svg = f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">
  <title>Imágenes de Tarvenia</title>
  <defs>
    <clipPath id="photo"><rect x="3" y="5" width="26" height="22"/></clipPath>
  </defs>
  <rect x="1" y="3" width="30" height="26" fill="{hex_colour(BLACK)}"/>
  <rect x="2" y="4" width="28" height="24" fill="{hex_colour(WHITE)}"/>
  <g clip-path="url(#photo)">
    <rect x="3" y="5" width="26" height="22" fill="{hex_colour(SKY)}"/>
    <circle cx="22.5" cy="10.5" r="{math.sqrt(10):.3f}" fill="{hex_colour(SUN)}"/>
    <path d="{hill_path(far_hill, 0, 32)}" fill="{hex_colour(FAR_HILL)}"/>
    <path d="{hill_path(near_hill, 10, 26)}" fill="{hex_colour(NEAR_HILL)}"/>
  </g>
</svg>
"""
    with open(path, "w", encoding="utf-8") as f:
        f.write(svg)


if __name__ == "__main__":
    for size in SIZES:
        write_png(os.path.join(HERE, f"quindelar-{size}.png"), size, render(size))
    write_svg(os.path.join(HERE, "quindelar.svg"))
