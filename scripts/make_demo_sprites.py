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
import sys

from xbm_files import HEADER_BYTES, plain_xbm, rgb565, skip_run_picture


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
        "HERO.XBM": skip_run_picture(37, 23, hero),
        "tile.a.xbm": plain_xbm(101, 77, tile, encoding=2),
        "ring.xbm": skip_run_picture(96, 96, ring),
        "badge_extra.xbm": plain_xbm(48, 48, badge, extra=extra),
        "hero_extra.xbm": skip_run_picture(37, 23, hero, extra=extra),
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
