#!/usr/bin/python3
"""The worst contrast between the clock window's title and the caption behind it, read from a
screenshot of the caption strip (a binary PPM on stdin).

Usage: caption-contrast.py FROM_X TO_X < caption.ppm
The background is the strip's top row; the ink is the pixel between FROM_X and TO_X that stands
out most from the background above it. Prints the worst WCAG ratio of the ink against the
background from FROM_X to TO_X, and the two colours.
"""
import sys


def read_ppm(data):
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:]
    return width, height, lambda x, y: tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3])


def luminance(rgb):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)))
    return (lb + 0.05) / (la + 0.05)


def main(argv):
    width, height, pixel = read_ppm(sys.stdin.buffer.read())
    start, stop = int(argv[1]), min(int(argv[2]), width)
    ink = max(((pixel(x, y), pixel(x, 0)) for x in range(start, stop) for y in range(2, height - 2)),
              key=lambda pair: contrast(*pair))[0]
    worst = min(contrast(ink, pixel(x, 0)) for x in range(start, stop))
    print("%.2f ink #%02x%02x%02x" % ((worst,) + ink))


if __name__ == "__main__":
    main(sys.argv)
