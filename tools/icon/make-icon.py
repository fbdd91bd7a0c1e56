#!/usr/bin/env python3
"""Draws the program icon (a white ring with a tail on a blue rounded square) and
writes it as a Windows .ico with 16, 32 and 48 pixel 32-bit images.

Usage: python3 tools/icon/make-icon.py qvedge/res/qvedge.ico
"""
import math
import struct
import sys

SUPERSAMPLE = 4


def coverage(size, inside):
    """Fraction of each pixel's subsamples for which inside(x, y) holds (0..1 units)."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (py + (sy + 0.5) / SUPERSAMPLE) / size
                    hits += inside(x, y)
            row.append(hits / SUPERSAMPLE ** 2)
        rows.append(row)
    return rows


def in_rounded_square(x, y, margin=0.04, radius=0.2):
    lo, hi = margin + radius, 1 - margin - radius
    dx = max(lo - x, 0, x - hi)
    dy = max(lo - y, 0, y - hi)
    return dx * dx + dy * dy <= radius * radius and margin <= x <= 1 - margin and margin <= y <= 1 - margin


def in_mark(x, y):
    r = math.hypot(x - 0.47, y - 0.46)
    ring = 0.2 <= r <= 0.31
    # The tail: a thick stroke from the ring's lower right outwards.
    t = ((x - 0.6) + (y - 0.6)) / 2
    along = min(max(t, 0), 0.17)
    dist = math.hypot(x - (0.6 + along), y - (0.6 + along))
    return ring or dist <= 0.065


def image(size):
    square = coverage(size, in_rounded_square)
    mark = coverage(size, in_mark)
    pixels = []
    for py in range(size):
        for px in range(size):
            shade = py / max(size - 1, 1)
            base = (int(40 + 30 * shade), int(120 - 40 * shade), int(200 - 60 * shade))
            m = mark[py][px]
            r, g, b = (int(c * (1 - m) + 255 * m) for c in base)
            a = int(round(255 * max(square[py][px], m)))
            pixels.append((b, g, r, a))
    return pixels


def bmp_entry(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = image(size)
    rows = [pixels[y * size:(y + 1) * size] for y in range(size)]
    xor = b"".join(bytes(c for p in row for c in p) for row in reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    return header + xor + bytes(mask_row * size)


def main():
    sizes = (16, 32, 48)
    entries = [bmp_entry(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, entries):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(entries)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
