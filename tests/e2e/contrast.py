#!/usr/bin/python3
"""The contrast of the text in a region of a screenshot.

    contrast.py IMAGE.ppm X Y WIDTH HEIGHT

Prints the WCAG contrast ratio between the region's most frequent colour
(its background) and the colour that differs from it most (its text, where
anti-aliasing leaves the glyphs' cores), e.g. "12.63".
"""
import sys
from collections import Counter


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:  # magic, width, height, maximum
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and fields[3] == b"255", fields
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def luminance(rgb):
    def channel(c):
        c /= 255.0
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4

    r, g, b = (channel(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def ratio(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def main():
    width, _, pixels = read_ppm(sys.argv[1])
    x, y, w, h = (int(v) for v in sys.argv[2:6])
    colours = Counter()
    for row in range(y, y + h):
        for col in range(x, x + w):
            i = 3 * (row * width + col)
            colours[tuple(pixels[i:i + 3])] += 1
    background = colours.most_common(1)[0][0]
    print("%.2f" % max(ratio(background, c) for c in colours))


if __name__ == "__main__":
    main()
