#!/usr/bin/env python3
"""Draws the program's pictures into the resources folder:
  icons.bmp  the ICONS strip: six 16x16 pictures side by side on white (closed
             folder, open folder, hard disk, floppy, CD-ROM, network drive), a
             96x16 BMP with a 256-colour palette. White is the transparent
             colour, so the pictures use off-white for their light parts.
  app.ico    the icon of both programs: a sprite of an ash tree in a frame,
             16x16 pixel art, also scaled up pixel for pixel to 32, 48 and 256.

Usage: make_icons.py [FOLDER]     writes both files (default: resources/ beside this script's folder)
       make_icons.py --check [FOLDER]   fails unless the files there are what this script draws
"""
import math
import os
import struct
import sys
import zlib

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


APP_COLOURS = {
    ".": None,              # transparent
    "k": (44, 44, 56),      # frame
    "s": (150, 200, 240),   # sky
    "L": (128, 204, 92),    # crown, lit side
    "G": (40, 128, 52),     # crown
    "t": (116, 76, 36),     # trunk
    "g": (72, 160, 60),     # grass
}

APP_SPRITE = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kssssssssssssk.",
    ".ksssssLLsssssk.",
    ".ksssLLLGLLsssk.",
    ".kssLLGGGGGLssk.",
    ".ksLLGGGGGGGLsk.",
    ".ksLGGGGGGGGGsk.",
    ".kssGGGGGGGGssk.",
    ".ksssGGttGGsssk.",
    ".ksssssttsssssk.",
    ".ksssssttsssssk.",
    ".kgggggttgggggk.",
    ".kggggggggggggk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]

ICON_SIZES = (16, 32, 48, 256)


def app_pixels(size):
    """Rows of (r, g, b, a) of the sprite scaled up to size x size, top row first."""
    for row in APP_SPRITE:
        assert len(row) == 16, row
    scale = size // 16
    rows = []
    for y in range(size):
        line = []
        for x in range(size):
            colour = APP_COLOURS[APP_SPRITE[y // scale][x // scale]]
            line.append((0, 0, 0, 0) if colour is None else colour + (255,))
        rows.append(line)
    return rows


def dib_icon_image(rows):
    """An icon image as Windows stores it: a 32-bit DIB of twice the height,
    colour rows bottom-up, then the 1-bit AND mask (1 = transparent)."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return info + bytes(colour) + bytes(mask)


def png_image(rows):
    """The large image as PNG, which icons since Windows Vista may hold."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico_bytes():
    images = [png_image(app_pixels(size)) if size == 256 else dib_icon_image(app_pixels(size)) for size in ICON_SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(ICON_SIZES, images):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def drawn_files():
    return {"icons.bmp": bmp_bytes(strip_rows()), "app.ico": ico_bytes()}


def main():
    args = sys.argv[1:]
    check = bool(args) and args[0] == "--check"
    if check:
        args = args[1:]
    folder = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    stale = []
    for name, data in drawn_files().items():
        path = os.path.join(folder, name)
        if check:
            with open(path, "rb") as f:
                if f.read() != data:
                    stale.append(path)
        else:
            with open(path, "wb") as f:
                f.write(data)
    for path in stale:
        print(f"{path} is not what scripts/make_icons.py draws; run it to draw the file again", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
