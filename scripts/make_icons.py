#!/usr/bin/env python3
"""Draws the ICONS strip: six 16x16 pictures side by side on white (closed
folder, open folder, hard disk, floppy, CD-ROM, network drive), written as a
96x16 BMP with a 256-colour palette. White is the transparent colour, so the
pictures use off-white for their light parts.

Usage: make_icons.py [OUTPUT]   (default: resources/icons.bmp beside this script's folder)
"""
import math
import os
import struct
import sys

PALETTE = {
    ".": (255, 255, 255),  # background, transparent
    "k": (0, 0, 0),
    "o": (156, 110, 20),   # folder outline
    "Y": (232, 178, 56),   # folder back
    "y": (255, 212, 92),   # folder front
    "l": (255, 236, 160),  # folder light edge
    "w": (240, 240, 240),  # off-white
    "g": (192, 192, 192),
    "d": (128, 128, 128),
    "G": (0, 200, 0),      # lamp
    "b": (40, 72, 176),    # floppy body
    "B": (64, 128, 224),   # network cable
    "c": (160, 224, 240),  # disc reflections
    "m": (236, 170, 220),
}

CLOSED_FOLDER = [
    "................",
    "................",
    ".ooooo..........",
    "olllllo.........",
    "oYYYYYYoooooooo.",
    "olllllllllllllo.",
    "olyyyyyyyyyyyyok",
    "olyyyyyyyyyyyyok",
    "olyyyyyyyyyyyyok",
    "olyyyyyyyyyyyyok",
    "olyyyyyyyyyyyyok",
    "olyyyyyyyyyyyyok",
    "olyyyyyyyyyyyyok",
    "oooooooooooooook",
    ".kkkkkkkkkkkkkkk",
    "................",
]

OPEN_FOLDER = [
    "................",
    "................",
    ".ooooo..........",
    "oYYYYYo.........",
    "oYYYYYYoooooo...",
    "oYYYYYYYYYYYYo..",
    "oYYYoooooooooooo",
    "oYYolllllllllllo",
    "oYolyyyyyyyyyyo.",
    "oYolyyyyyyyyyyo.",
    "oolyyyyyyyyyyo..",
    "oolyyyyyyyyyyo..",
    "olyyyyyyyyyyo...",
    "ooooooooooooo...",
    "................",
    "................",
]

HARD_DISK = [
    "................",
    "................",
    "................",
    "................",
    "..kkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwkk",
    "kkkkkkkkkkkkkkgk",
    "kggggggggggggkgk",
    "kggggggggggggkgk",
    "kgggggggggGGgkk.",
    "kkkkkkkkkkkkkk..",
    "................",
    "................",
    "................",
    "................",
    "................",
]

FLOPPY = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbbgggggggbbbk.",
    ".kbbggggdggbbbk.",
    ".kbbggggdggbbbk.",
    ".kbbgggggggbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbwwwwwwwwwwbk.",
    ".kbwwwwwwwwwwbk.",
    ".kbwddddddddwbk.",
    ".kbwwwwwwwwwwbk.",
    ".kbwddddddwwwbk.",
    ".kbwwwwwwwwwwbk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]

NETWORK = [
    "................",
    "..kkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwkk",
    "kkkkkkkkkkkkkkgk",
    "kggggggggggggkgk",
    "kggggggggggggkgk",
    "kgggggggggGGgkk.",
    "kkkkkkkkkkkkkk..",
    "......kk........",
    "......kk........",
    "......kk........",
    "kkkkkkkkkkkkkkkk",
    "BBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBB",
    "kkkkkkkkkkkkkkkk",
    "................",
]


def cd_rom():
    """A disc: dark rim, silver face with two coloured reflections, a hole."""
    rows = []
    for y in range(16):
        row = ""
        for x in range(16):
            dx, dy = x - 7.5, y - 7.5
            r = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(-dy, dx)) % 360
            if r > 7.6 or r <= 1.6:
                row += "."
            elif r > 6.6 or r <= 2.6:
                row += "d"
            elif 25 <= angle <= 70:
                row += "c"
            elif 205 <= angle <= 250:
                row += "m"
            else:
                row += "g"
        rows.append(row)
    return rows


PICTURES = [CLOSED_FOLDER, OPEN_FOLDER, HARD_DISK, FLOPPY, cd_rom(), NETWORK]


def strip_rows():
    for picture in PICTURES:
        assert len(picture) == 16 and all(len(row) == 16 for row in picture), picture
    return ["".join(picture[y] for picture in PICTURES) for y in range(16)]


def bmp_bytes(rows):
    keys = list(PALETTE)
    index = {key: i for i, key in enumerate(keys)}
    width, height = len(rows[0]), len(rows)
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # rows are stored bottom-up
        line = bytes(index[c] for c in row)
        pixels += line + bytes(stride - len(line))
    palette = bytearray()
    for i in range(256):
        r, g, b = PALETTE[keys[i]] if i < len(keys) else (0, 0, 0)
        palette += bytes((b, g, r, 0))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(palette) + bytes(pixels)


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "icons.bmp")
    out = sys.argv[1] if len(sys.argv) > 1 else default
    with open(out, "wb") as f:
        f.write(bmp_bytes(strip_rows()))


if __name__ == "__main__":
    main()
