#!/usr/bin/env python3
"""Draws the link cursor, a hand with pointing index finger, and writes it as a
Windows .cur file.

One 32x32 image in two colours: a white hand with a black outline, transparent
elsewhere, hot spot at the fingertip (7, 1). The hand is a union of rectangles
(fingers, palm, thumb, cuff); every free pixel that touches the hand horizontally
or vertically becomes outline, which also draws the lines between the fingers.
Only the standard library is used.

Usage: make-cursor.py OUTPUT.cur [--show]   (--show prints the picture)
"""
import struct
import sys

SIZE = 32
HOT_SPOT = (7, 1)

# White areas as (left, top, right, bottom), inclusive.
HAND = [
    (6, 2, 8, 17),     # index finger, pointing up
    (10, 10, 12, 17),  # middle finger
    (14, 11, 16, 17),  # ring finger
    (18, 13, 19, 17),  # little finger
    (6, 16, 19, 24),   # palm
    (2, 15, 5, 19),    # thumb
    (3, 20, 5, 20),
    (4, 21, 5, 22),
    (7, 26, 18, 29),   # cuff
]


def picture():
    """Rows of ' ' (transparent), 'o' (white) and 'X' (black), top row first."""
    white = set()
    for left, top, right, bottom in HAND:
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                white.add((x, y))
    rows = []
    for y in range(SIZE):
        row = ""
        for x in range(SIZE):
            if (x, y) in white:
                row += "o"
            elif any((x + dx, y + dy) in white for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                row += "X"
            else:
                row += " "
        rows.append(row)
    return rows


def cursor_file(rows):
    """ICONDIR of type 2 with one entry, then the 1-bit image: BITMAPINFOHEADER (of
    double height, for the two masks), a black/white palette, the colour (XOR)
    bitmap and the AND mask, both bottom row first. AND 1 is transparent, else the
    colour bit chooses white (1) or black (0)."""
    stride = SIZE // 8
    xor_bits = bytearray()
    and_bits = bytearray()
    for row in reversed(rows):
        xor_row = bytearray(stride)
        and_row = bytearray(stride)
        for x, cell in enumerate(row):
            bit = 0x80 >> (x % 8)
            if cell == " ":
                and_row[x // 8] |= bit
            elif cell == "o":
                xor_row[x // 8] |= bit
        xor_bits += xor_row
        and_bits += and_row
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 2, 2)
    image = header + palette + xor_bits + and_bits
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1],
                        len(image), 6 + 16)
    return directory + entry + image


def main():
    args = sys.argv[1:]
    show = "--show" in args
    args = [a for a in args if a != "--show"]
    if len(args) != 1:
        sys.exit(__doc__)
    rows = picture()
    if rows[HOT_SPOT[1]][HOT_SPOT[0]] != "X":
        sys.exit("the hot spot is not on the fingertip")
    if show:
        for row in rows:
            print(row.rstrip())
    with open(args[0], "wb") as f:
        f.write(cursor_file(rows))


if __name__ == "__main__":
    main()
