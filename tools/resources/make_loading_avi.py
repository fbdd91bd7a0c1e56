#!/usr/bin/env python3
"""Writes the "Loading..." clip for the Win32 animation control: an AVI of 8-bit RLE8 frames
(grey on black, a dot lit after dot), no sound. Usage: make_loading_avi.py OUTPUT.avi"""
import struct
import sys

import pixelfont
import raster

WIDTH, HEIGHT = 200, 60
FRAMES = 8
FRAMES_PER_SECOND = 8
WORD = "Loading"
SCALE = 3
TEXT_GREY = 0xA0 / 255
LIT = 1.0
BI_RLE8 = 1
AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10


def draw_frame(lit_dot):
    """Frame with the word and three dots; dot `lit_dot` (or none) is white and raised."""
    canvas = raster.Canvas(WIDTH, HEIGHT)
    dot_pitch = 5 * SCALE
    width = pixelfont.text_width(WORD) * SCALE + SCALE + 3 * dot_pitch
    left = (WIDTH - width) // 2
    top = (HEIGHT - 7 * SCALE) // 2
    canvas.paint(raster.cells(left, top, SCALE, pixelfont.ink_cells(WORD)), TEXT_GREY,
                 (left, top, left + width, top + pixelfont.HEIGHT * SCALE))
    base = top + 7 * SCALE - 3
    for i in range(3):
        cx = left + pixelfont.text_width(WORD) * SCALE + SCALE + dot_pitch * i + dot_pitch / 2
        lit = i == lit_dot
        cy, r = (base - 5, 3.8) if lit else (base, 3.0)
        canvas.paint(raster.disc(cx, cy, r), LIT if lit else TEXT_GREY, (cx - 5, cy - 5, cx + 5, cy + 5))
    return canvas.levels()


def rle8(rows):
    """Encoded-mode runs only; DIB rows run bottom to top."""
    out = bytearray()
    for y, row in enumerate(reversed(rows)):
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and run < 255 and row[x + run] == row[x]:
                run += 1
            out += bytes((run, row[x]))
            x += run
        out += b"\x00\x01" if y == len(rows) - 1 else b"\x00\x00"
    return bytes(out)


def chunk(fourcc, data):
    padding = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + padding


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", len(body) + 4) + fourcc + body


def bitmap_info(image_size):
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, BI_RLE8, image_size, 0, 0, 256, 0)
    palette = b"".join(bytes((v, v, v, 0)) for v in range(256))
    return header + palette


def build_avi(frames):
    biggest = max(len(f) for f in frames)
    avih = struct.pack("<IIIIIIIIII16x", 1000000 // FRAMES_PER_SECOND, biggest * FRAMES_PER_SECOND,
                       0, AVIF_HASINDEX, len(frames), 0, 1, biggest, WIDTH, HEIGHT)
    strh = b"vids" + b"RLE " + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 1, FRAMES_PER_SECOND, 0,
                                           len(frames), biggest, 0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    strl = riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", bitmap_info(biggest)))
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) + strl)

    movi_body = b""
    index = b""
    for frame in frames:
        # Index offsets count from the "movi" identifier.
        index += b"00dc" + struct.pack("<III", AVIIF_KEYFRAME, 4 + len(movi_body), len(frame))
        movi_body += chunk(b"00dc", frame)
    movi = riff_list(b"LIST", b"movi", movi_body)
    return riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index))


def main(output):
    frames = []
    for f in range(FRAMES):
        lit = f // 2 if f // 2 < 3 else None
        frames.append(rle8(draw_frame(lit)))
    with open(output, "wb") as out:
        out.write(build_avi(frames))


if __name__ == "__main__":
    main(sys.argv[1])
