#!/usr/bin/env python3
"""Writes PexorLauncher.ico, the launcher's icon, in the sizes Windows asks
for: 16, 24, 32, 48 (32-bit pictures with an alpha channel) and 256 (PNG).
The picture is drawn here: a white P on a rounded square shaded from teal to
black like the START button, framed in the launcher's orange. Run once; the
icon is kept in the repository."""

import struct
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 256)
ORANGE = (255, 192, 128)  # the launcher window's colour
TEAL = (0, 128, 128)
WHITE = (255, 255, 255)
SAMPLES = 4  # per pixel and axis, for smooth edges


def inside_rounded_square(x, y, margin, radius):
    """Whether (x, y), in units of the icon's side, lies in the square."""
    lo, hi = margin, 1.0 - margin
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def inside_letter(x, y):
    """The P: a stem and a ring-shaped bowl on its upper right."""
    stem = 0.30 <= x <= 0.42 and 0.21 <= y <= 0.80
    bx, by = 0.42, 0.40  # the bowl's centre
    d2 = (x - bx) ** 2 + (y - by) ** 2
    bowl = x >= bx and 0.085**2 <= d2 <= 0.19**2
    bars = 0.36 <= x <= bx and (0.21 <= y <= 0.315 or 0.485 <= y <= 0.59)
    return stem or bowl or bars


def colour_at(x, y):
    """RGBA at (x, y), or None outside the icon's shape."""
    if not inside_rounded_square(x, y, 0.02, 0.16):
        return None
    if not inside_rounded_square(x, y, 0.09, 0.11):
        return ORANGE
    if inside_letter(x, y):
        return WHITE
    shade = 1.0 - min(max((y - 0.09) / 0.82, 0.0), 1.0) * 0.85
    return tuple(round(c * shade) for c in TEAL)


def picture(size):
    """Rows of (r, g, b, a), top row first, each pixel the mean of its samples."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    c = colour_at(x, y)
                    if c is not None:
                        for i in range(3):
                            total[i] += c[i]
                        total[3] += 1
            n = total[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(v / n) for v in total[:3]) + (round(255 * n / SAMPLES**2),))
        rows.append(row)
    return rows


def dib(size, rows):
    """A 32-bit icon picture: header, bottom-up BGRA rows, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    mask_row = (size + 31) // 32 * 4
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def icon():
    images = []
    for size in SIZES:
        rows = picture(size)
        images.append((size, png(size, rows) if size >= 256 else dib(size, rows)))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = bytearray()
    for size, data in images:
        side = size if size < 256 else 0  # 0 means 256
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return header + bytes(directory) + b"".join(data for _, data in images)


if __name__ == "__main__":
    Path(__file__).with_name("PexorLauncher.ico").write_bytes(icon())
