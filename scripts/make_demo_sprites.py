#!/usr/bin/env python3
"""Writes a small set of colourful demo sprites in the Ashgrove XBM format.

Usage: make_demo_sprites.py OUTDIR

Every picture is drawn here from gradients and shapes, so the output is the
same byte for byte on every run. The set covers plain and skip-run rows, odd
widths, an extra block after the header, upper-case and multi-dot names, one
large picture and one damaged file.
"""
import math
import os
import struct
import sys

HEADER_BYTES = 64


def rgb565(r, g, b):
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)


def header(width, height, encoding, extra=b""):
    head = bytearray(HEADER_BYTES)
    struct.pack_into("<ii", head, 20, width, height)  # Width, Height
    struct.pack_into("<H", head, 30, encoding)
    if extra:
        struct.pack_into("<II", head, 36, 1, len(extra))  # ExtraFlag, ExtraSize
    return bytes(head) + extra


def plain_xbm(width, height, pixel, encoding=0, extra=b""):
    """pixel(x, y) -> RGB565 word; every row stored whole."""
    rows = bytearray()
    for y in range(height):
        rows += struct.pack("<%dH" % width, *(pixel(x, y) for x in range(width)))
    return header(width, height, encoding, extra) + bytes(rows)


def skip_run_row(words):
    """words: RGB565 words, None for a pixel the row does not store."""
    out = bytearray()
    x, width = 0, len(words)
    while x < width:
        gap = 0
        while x + gap < width and words[x + gap] is None:
            gap += 1
        out += struct.pack("<H", 2 * gap)
        x += gap
        if x == width:
            break
        run = 0
        while x + run < width and words[x + run] is not None:
            run += 1
        out += struct.pack("<H", 2 * run)
        out += struct.pack("<%dH" % run, *words[x:x + run])
        x += run
    return bytes(out)


def skip_run_xbm(width, height, pixel, extra=b""):
    """pixel(x, y) -> RGB565 word or None. Equal rows share their data."""
    table, data, offsets = bytearray(), bytearray(), {}
    table_bytes = 4 * height
    for y in range(height):
        row = skip_run_row([pixel(x, y) for x in range(width)])
        if row not in offsets:
            offsets[row] = table_bytes + len(data)
            data += row
        table += struct.pack("<I", offsets[row])
    return header(width, height, 1, extra) + bytes(table) + bytes(data)


def hue(t):
    """A bright colour for t in [0, 1)."""
    r = int(127.5 + 127.5 * math.cos(2 * math.pi * t))
    g = int(127.5 + 127.5 * math.cos(2 * math.pi * (t - 1 / 3)))
    b = int(127.5 + 127.5 * math.cos(2 * math.pi * (t - 2 / 3)))
    return r, g, b


def gradient(x, y):
    return rgb565(x * 255 // 63, y * 255 // 47, 255 - x * 255 // 63)


def hero(x, y):
    """A round face on a transparent ground, 37 x 23."""
    dx, dy = (x - 18) / 11.0, (y - 11) / 11.0
    d = dx * dx + dy * dy
    if d > 1.0:
        return None
    if (abs(x - 14) <= 1 or abs(x - 22) <= 1) and 6 <= y <= 8:
        return rgb565(20, 20, 60)
    if 14 <= y <= 15 and 12 <= x <= 24:
        return rgb565(200, 30, 40)
    return rgb565(*hue(0.12 + 0.05 * d))


def tile(x, y):
    """Stripes and a checker board, 101 x 77."""
    if (x // 10 + y // 10) % 2:
        return rgb565(*hue(((x + y) % 101) / 101.0))
    return rgb565(240 - y * 2, 240 - x * 2, 80)


def ring(x, y):
    """A rainbow ring with a hole, 96 x 96: several runs on a row."""
    dx, dy = x - 47.5, y - 47.5
    r = math.hypot(dx, dy)
    if r > 46 or r < 24:
        return None
    return rgb565(*hue((math.atan2(dy, dx) / (2 * math.pi)) % 1.0))


def badge(x, y):
    """A framed diamond, 48 x 48."""
    if x < 3 or y < 3 or x > 44 or y > 44:
        return rgb565(250, 210, 40)
    if abs(x - 24) + abs(y - 24) < 16:
        return rgb565(40, 120 + y * 2, 230)
    return rgb565(60, 20, 90)


def landscape(x, y):
    """Sky, sun, hills and stripes of field, 1500 x 1200, for scrolling."""
    hill = 700 + 120 * math.sin(x / 170.0) + 45 * math.sin(x / 37.0 + 1.0)
    if y < hill:
        if (x - 1150) ** 2 + (y - 260) ** 2 < 110 ** 2:
            return rgb565(255, 220, 60)
        return rgb565(70 + y * 120 // 1200, 140 + y * 100 // 1200, 250)
    band = int((y - hill) // 40) % 2
    return rgb565(40 + band * 60, 150 - (y * 80 // 1200), 40 + (x * 60 // 1500))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_demo_sprites.py OUTDIR")
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)

    extra = bytes(range(100))
    damaged = plain_xbm(64, 48, gradient)
    sprites = {
        "gradient.xbm": plain_xbm(64, 48, gradient),
        "HERO.XBM": skip_run_xbm(37, 23, hero),
        "tile.a.xbm": plain_xbm(101, 77, tile, encoding=2),
        "ring.xbm": skip_run_xbm(96, 96, ring),
        "badge_extra.xbm": plain_xbm(48, 48, badge, extra=extra),
        "hero_extra.xbm": skip_run_xbm(37, 23, hero, extra=extra),
        "landscape.xbm": plain_xbm(1500, 1200, landscape),
        # Ends in the middle of row 20 of 48.
        "damaged.xbm": damaged[:HEADER_BYTES + 2 * 64 * 20 + 30],
    }
    for name, content in sprites.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(content)
    print("%d demo sprites in %s" % (len(sprites), outdir))


if __name__ == "__main__":
    main()
