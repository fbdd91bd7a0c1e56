#!/usr/bin/env python3
"""Draws the "No Internet connection" picture (320 x 200 PNG): on black, a grey globe crossed
by a prohibition sign above grey words. Usage: make_nointernet_png.py OUTPUT.png"""
import math
import struct
import sys
import zlib

import pixelfont
import raster

WIDTH, HEIGHT = 320, 200
TEXT = "No Internet connection"
GLOBE_GREY = 0x80 / 255
SIGN_GREY = 0xA0 / 255
TEXT_GREY = 0xA0 / 255


def draw_globe(canvas, cx, cy, r):
    line = 3.0
    box = (cx - r - line, cy - r - line, cx + r + line, cy + r + line)
    inside_globe = raster.disc(cx, cy, r)
    canvas.paint(raster.ring(cx, cy, r, line), GLOBE_GREY, box)
    for share in (0.0, 0.5, 0.85):
        canvas.paint(raster.both(raster.ellipse_ring(cx, cy, r * share, r, line), inside_globe),
                     GLOBE_GREY, box)
    for latitude in (-50, -20, 20, 50):
        y = cy - r * math.sin(math.radians(latitude))
        canvas.paint(raster.both(raster.band(y, line), inside_globe), GLOBE_GREY, box)
    canvas.paint(raster.both(raster.band(cy, line), inside_globe), GLOBE_GREY, box)


def draw_prohibition(canvas, cx, cy, r, width):
    box = (cx - r - width, cy - r - width, cx + r + width, cy + r + width)
    inside = raster.disc(cx, cy, r)
    d = r / math.sqrt(2)
    # A black margin keeps the bar apart from the globe's lines.
    canvas.paint(raster.both(raster.capsule(cx - d, cy - d, cx + d, cy + d, width + 6), inside), 0.0, box)
    canvas.paint(raster.both(raster.capsule(cx - d, cy - d, cx + d, cy + d, width), inside), SIGN_GREY, box)
    canvas.paint(raster.ring(cx, cy, r, width), SIGN_GREY, box)


def draw_text(canvas, text, top, size):
    width = pixelfont.text_width(text) * size
    left = (canvas.width - width) // 2
    inside = raster.cells(left, top, size, pixelfont.ink_cells(text))
    canvas.paint(inside, TEXT_GREY, (left, top, left + width, top + pixelfont.HEIGHT * size))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def encode_png(rows):
    """8-bit RGB, every row with filter type 0."""
    raw = b"".join(b"\0" + bytes(v for level in row for v in (level, level, level)) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def main(output):
    canvas = raster.Canvas(WIDTH, HEIGHT)
    cx, cy = WIDTH / 2, 84
    draw_globe(canvas, cx, cy, 46)
    draw_prohibition(canvas, cx, cy, 62, 9)
    draw_text(canvas, TEXT, 164, 2)
    with open(output, "wb") as f:
        f.write(encode_png(canvas.levels()))


if __name__ == "__main__":
    main(sys.argv[1])
