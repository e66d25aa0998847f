#!/usr/bin/env python3
"""Draws the application icon (the clock face) at every size the program ships.

Writes res/icons/clock-{16,32}.png as 4-bit palette images, clock-{48,64,128}.png
as anti-aliased RGBA, and res/icons/clock.ico holding the 16 and 32 images.
Standard library only, so it runs on any build machine: python3 tools/make-icons.py
"""

import os
import struct
import zlib

# The face, in fractions of the face radius R. Every size is drawn from this.
FACE = {
    "rim_grey": 0.07,      # outer edge ring, so the face shows on light title bars
    "rim_white": 0.10,     # white bezel between the edge and the dial
    "mark_inset": 0.08,    # black between the bezel and each mark (fractions of the dial)
    "mark_length": 0.24,   # thin ticks at 12, 3, 6 and 9
    "mark_width": 0.07,
    "minute_length": 0.62,  # long hand, pointing at 12 (fraction of the dial)
    "hour_length": 0.42,    # short hand, pointing at 3; told apart by length alone
    "hand_width": 0.09,
    "hand_gap": 0.06,       # least black between the long hand and its tick (of the dial)
    "hub_radius": 0.11,     # white cap with a grey pin, where there is room for one
}

# The classic 16-colour palette; fuchsia never appears in the face, so its slot is
# the transparent one (alpha 0 in PNG, AND-mask in the icon file).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
TRANSPARENT = 13
BLACK, GREY, WHITE = 0, 8, 15

PALETTE_SIZES = (16, 32)
RGBA_SIZES = (48, 64, 128)


def px(fraction, radius, minimum=1):
    return max(minimum, round(fraction * radius))


def layout(size):
    """Shapes in pixel coordinates, painted in order: ('disc', r, colour) around the
    centre, or ('rect', x0, y0, x1, y1, colour).

    Straight parts are snapped to whole pixels so hands and marks stay sharp; a 1-pixel
    hand needs the centre on a pixel centre, so the face then is one pixel narrower.
    """
    radius = size / 2

    hand_w = px(FACE["hand_width"], radius)
    if hand_w > 1 and hand_w % 2:
        hand_w += 1
    parity = hand_w % 2
    # Marks share the hands' parity so every part centres on the same grid.
    mark_w = px(FACE["mark_width"], radius)
    if mark_w % 2 != parity:
        mark_w += 1
    diameter = size - parity
    r = diameter / 2
    c = r  # centre, measured from the top-left corner of the canvas

    grey = px(FACE["rim_grey"], r)
    white = px(FACE["rim_white"], r)
    dial = r - grey - white
    inset = px(FACE["mark_inset"], dial, 0)
    mark_len = px(FACE["mark_length"], dial)
    minute = px(FACE["minute_length"], dial)
    hour = px(FACE["hour_length"], dial)

    shapes = [("disc", r, GREY), ("disc", r - grey, WHITE), ("disc", dial, BLACK)]
    # grey + white is whole, so marks start on a pixel boundary.
    near = grey + white + inset
    far = 2 * c - near
    m = mark_w / 2
    shapes += [
        ("rect", c - m, near, c + m, near + mark_len, WHITE),   # 12
        ("rect", c - m, far - mark_len, c + m, far, WHITE),     # 6
        ("rect", near, c - m, near + mark_len, c + m, WHITE),   # 9
        ("rect", far - mark_len, c - m, far, c + m, WHITE),     # 3
    ]
    h = hand_w / 2
    # The long hand must stop short of the 12 o'clock tick or the two read as one line.
    gap = px(FACE["hand_gap"], dial)
    minute = min(minute, round(c - h) - near - mark_len - gap)
    shapes += [
        ("rect", c - h, c - h - minute, c + h, c + h, WHITE),  # minute hand at 12
        ("rect", c - h, c - h, c + h + hour, c + h, WHITE),    # hour hand at 3
    ]
    hub = FACE["hub_radius"] * r
    if hub > h + 0.5:  # only where it reads as a hub rather than a blob
        shapes += [("disc", hub, WHITE), ("disc", hub * 0.45, GREY)]
    return c, shapes


def colour_at(x, y, c, shapes):
    found = TRANSPARENT
    dx, dy = x - c, y - c
    d2 = dx * dx + dy * dy
    for shape in shapes:
        if shape[0] == "disc":
            if d2 <= shape[1] * shape[1]:
                found = shape[2]
        elif shape[1] <= x < shape[3] and shape[2] <= y < shape[4]:
            found = shape[5]
    return found


def render(size, samples):
    """For every pixel, how many of samples x samples points fall in each colour."""
    c, shapes = layout(size)
    step = 1.0 / samples
    grid = []
    for py in range(size):
        row = []
        for px_ in range(size):
            counts = {}
            for sy in range(samples):
                y = py + (sy + 0.5) * step
                for sx in range(samples):
                    x = px_ + (sx + 0.5) * step
                    k = colour_at(x, y, c, shapes)
                    counts[k] = counts.get(k, 0) + 1
            row.append(counts)
        grid.append(row)
    return grid


def to_indexed(grid):
    # The colour covering most of the pixel, ties to the outer (earlier-drawn) layer
    # by index order; no in-between shades, so small sizes keep hard edges.
    return [[max(counts, key=lambda k: (counts[k], -k)) for counts in row] for row in grid]


def to_rgba(grid, samples):
    total = samples * samples
    out = []
    for row in grid:
        line = []
        for counts in row:
            covered = total - counts.get(TRANSPARENT, 0)
            if covered == 0:
                line.append((0, 0, 0, 0))
                continue
            rgb = [0, 0, 0]
            for k, n in counts.items():
                if k != TRANSPARENT:
                    for i in range(3):
                        rgb[i] += PALETTE[k][i] * n
            line.append(tuple(round(v / covered) for v in rgb) + (round(255 * covered / total),))
        out.append(line)
    return out


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, colour_type, bit_depth, rows, extra=b""):
    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0))
            + extra
            + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def pack4(row):
    padded = list(row) + [0] * (len(row) % 2)
    return bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))


def indexed_png(pixels):
    size = len(pixels)
    plte = png_chunk(b"PLTE", b"".join(bytes(rgb) for rgb in PALETTE))
    trns = png_chunk(b"tRNS", bytes(0 if i == TRANSPARENT else 255 for i in range(TRANSPARENT + 1)))
    return png(size, size, 3, 4, [pack4(r) for r in pixels], plte + trns)


def rgba_png(pixels):
    size = len(pixels)
    return png(size, size, 6, 8, [bytes(v for p in r for v in p) for r in pixels])


def ico_image(pixels):
    """A 4-bit DIB with its AND mask, as icon files hold them (rows bottom-up)."""
    size = len(pixels)
    xor_rows, and_rows = [], []
    for row in reversed(pixels):
        colours = [BLACK if k == TRANSPARENT else k for k in row]
        xor = pack4(colours)
        xor_rows.append(xor + b"\x00" * (-len(xor) % 4))
        bits = 0
        for k in row:
            bits = (bits << 1) | (k == TRANSPARENT)
        mask = bits.to_bytes((size + 7) // 8, "big")
        and_rows.append(mask + b"\x00" * (-len(mask) % 4))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         sum(map(len, xor_rows + and_rows)), 0, 0, 16, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return header + colours + b"".join(xor_rows) + b"".join(and_rows)


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, blobs = b"", b""
    for pixels in images:
        blob = ico_image(pixels)
        size = len(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return directory + entries + blobs


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "icons")
    os.makedirs(out_dir, exist_ok=True)

    def write(name, data):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print("wrote", os.path.normpath(os.path.join(out_dir, name)))

    small = []
    for size in PALETTE_SIZES:
        pixels = to_indexed(render(size, 8))
        small.append(pixels)
        write("clock-%d.png" % size, indexed_png(pixels))
    for size in RGBA_SIZES:
        samples = 8 if size <= 64 else 4
        write("clock-%d.png" % size, rgba_png(to_rgba(render(size, samples), samples)))
    write("clock.ico", ico(small))


if __name__ == "__main__":
    main()
