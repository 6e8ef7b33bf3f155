#!/usr/bin/env python3
"""Draws the user interface's bitmaps as PNG files, and as BMP files for the
Windows module's resources (Python standard library only): bitmap 205, the field states of the structure dialog (16-pixel
images side by side, white is transparent: a red question mark for a field
not accepted, a green tick for an accepted one), and bitmap 1, the toolbox
image (16 x 15). Run from anywhere; writes into bitmaps/ beside this file."""
import os
import struct
import zlib

WHITE = (255, 255, 255)
COLOURS = {
    ".": WHITE,
    "R": (200, 0, 0),      # question mark
    "G": (0, 150, 0),      # tick
    "X": (64, 64, 64),     # toolbox frame
    "B": (0, 70, 180),     # toolbox letter
    "T": (0, 128, 128),    # toolbox digits
}

QUESTION = """
................
.....RRRRR......
....RRRRRRR.....
...RRR...RRR....
...RR.....RR....
..........RR....
.........RRR....
........RRR.....
.......RRR......
......RRR.......
......RR........
......RR........
................
......RR........
......RR........
................
"""

TICK = """
................
................
.............GG.
............GGG.
...........GGG..
..........GGG...
.G.......GGG....
.GG.....GGG.....
.GGG...GGG......
..GGG.GGG.......
...GGGGG........
....GGG.........
.....G..........
................
................
................
"""

TOOLBOX = """
................
.XXXXXXXXXXXXXX.
.X............X.
.X.B.....B....X.
.X.B.....B....X.
.X..B...B.....X.
.X..B...B.....X.
.X...B.B......X.
.X...B.B......X.
.X....B.......X.
.X............X.
.X.TTTT.TTTT..X.
.X............X.
.XXXXXXXXXXXXXX.
................
"""


def rows_of(picture):
    return [line for line in picture.strip("\n").split("\n")]


def side_by_side(*pictures):
    parts = [rows_of(p) for p in pictures]
    return ["".join(row) for row in zip(*parts)]


def png(rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(c for ch in row for c in COLOURS[ch]) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def bmp(rows):
    """A 24-bit Windows bitmap: rows bottom-up, blue-green-red, each padded to
    four bytes."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(bytes(c for ch in row for c in reversed(COLOURS[ch])).ljust(stride, b"\x00")
                      for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bitmaps")
    os.makedirs(folder, exist_ok=True)
    for name, rows in [("field_states", side_by_side(QUESTION, TICK)), ("toolbox", rows_of(TOOLBOX))]:
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(png(rows))
        with open(os.path.join(folder, name + ".bmp"), "wb") as f:
            f.write(bmp(rows))


if __name__ == "__main__":
    main()
