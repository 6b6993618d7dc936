#!/usr/bin/env python3
"""Draws the program icon, a parcel, and writes it as a Windows .ico file.

The icon holds 16x16, 32x32 and 48x48 images in 32-bit colour with alpha. The two
small ones, which the window and the task bar use at 96 DPI, are plain bitmaps
(with the 1-bit mask older systems use); the 48x48 one is stored PNG-compressed, as
Windows reads it since Vista, which keeps the icon at a third of its bitmap size in
the size-limited Setup.exe. Shapes are given in a unit square and sampled 4x4 per
pixel, which smooths the edges. Only the standard library is used.

Usage: make-icon.py OUTPUT.ico
"""
import struct
import sys
import zlib

# Corners of the parcel in the unit square (y grows downwards).
TOP = [(0.50, 0.10), (0.94, 0.29), (0.50, 0.48), (0.06, 0.29)]
LEFT = [(0.06, 0.29), (0.50, 0.48), (0.50, 0.93), (0.06, 0.74)]
RIGHT = [(0.50, 0.48), (0.94, 0.29), (0.94, 0.74), (0.50, 0.93)]


def lerp(p, q, t):
    return (p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t)


def tape():
    """The adhesive strip: across the lid and down the right-hand side."""
    a, b, c, d = TOP
    lid = [lerp(d, a, 0.42), lerp(d, a, 0.58), lerp(c, b, 0.58), lerp(c, b, 0.42)]
    c2, b2 = RIGHT[3], RIGHT[2]
    side = [lerp(c, b, 0.42), lerp(c, b, 0.58), lerp(c2, b2, 0.58), lerp(c2, b2, 0.42)]
    return [lid, side]


def inside(point, polygon):
    x, y = point
    result = False
    for i, p in enumerate(polygon):
        q = polygon[i - 1]
        if (p[1] > y) != (q[1] > y):
            if x < (q[0] - p[0]) * (y - p[1]) / (q[1] - p[1]) + p[0]:
                result = not result
    return result


def near_segment(point, p, q, half_width):
    px, py = point
    dx, dy = q[0] - p[0], q[1] - p[1]
    t = max(0.0, min(1.0, ((px - p[0]) * dx + (py - p[1]) * dy) / (dx * dx + dy * dy)))
    ex, ey = p[0] + t * dx - px, p[1] + t * dy - py
    return ex * ex + ey * ey <= half_width * half_width


def edges():
    result = []
    for polygon in (TOP, LEFT, RIGHT):
        for i, p in enumerate(polygon):
            result.append((polygon[i - 1], p))
    return result


FILLS = [
    (TOP, (226, 190, 140)),
    (LEFT, (196, 146, 88)),
    (RIGHT, (158, 108, 58)),
]
TAPE_COLOUR = (246, 232, 196)
LINE_COLOUR = (84, 54, 26)


def colour_at(point, line_half_width):
    for a, b in edges():
        if near_segment(point, a, b, line_half_width):
            return LINE_COLOUR
    for polygon in tape():
        if inside(point, polygon):
            return TAPE_COLOUR
    for polygon, colour in FILLS:
        if inside(point, polygon):
            return colour
    return None


def render(size):
    """Rows of (r, g, b, a) tuples, top row first."""
    samples = 4
    half_width = max(1.0, size / 24.0) / size / 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    point = ((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size)
                    colour = colour_at(point, half_width)
                    if colour is not None:
                        hits += 1
                        for i in range(3):
                            total[i] += colour[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / hits) for c in total) + (round(255 * hits / samples**2),))
        rows.append(row)
    return rows


def bitmap(size):
    """One icon image: BITMAPINFOHEADER, BGRA pixels and AND mask, bottom row first."""
    rows = render(size)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        mask_row = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def png(size):
    """One icon image as a PNG file: 8-bit RGBA, no interlace, maximum compression."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    raw = bytearray()
    for row in render(size):
        raw.append(0)  # filter type None; the others gain nothing on so few colours
        for pixel in row:
            raw += bytes(pixel)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# Size and how it is stored: 16 and 32 as bitmaps, 48 as PNG.
IMAGES = [(16, bitmap), (32, bitmap), (48, png)]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sizes = [size for size, _ in IMAGES]
    images = [encode(size) for size, encode in IMAGES]
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
