#!/usr/bin/env python3
"""Writes start.bmp, the face of the launcher's START button: 170 x 24 pixels,
24-bit, a thin light frame around a band shaded from teal at the top to black
at the bottom. Run once; the bitmap is kept in the repository."""

import struct
from pathlib import Path

WIDTH, HEIGHT = 170, 24
FRAME = (224, 224, 224)  # light grey, RGB
TEAL = (0, 128, 128)


def pixel(x, y):
    """RGB of the pixel at column x, row y (row 0 at the top)."""
    if x in (0, WIDTH - 1) or y in (0, HEIGHT - 1):
        return FRAME
    inner = HEIGHT - 3  # rows 1 .. HEIGHT-2
    shade = 1.0 - (y - 1) / inner
    return tuple(round(c * shade) for c in TEAL)


def bitmap():
    row_size = (WIDTH * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(HEIGHT)):  # bottom-up rows
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


if __name__ == "__main__":
    Path(__file__).with_name("start.bmp").write_bytes(bitmap())
