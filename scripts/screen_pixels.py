#!/usr/bin/env python3
"""Looks at a screenshot (8-bit binary PPM) for what a test expects to see.

Usage:
  screen_pixels.py find SHOT.ppm PICTURE.bmp LEFT TOP RIGHT BOTTOM [X Y W H]
      Looks for the picture, or its part of W x H pixels at X, Y, inside the
      screen rectangle LEFT..RIGHT x TOP..BOTTOM; prints the screen position
      of its top-left corner, or exits with 1.
  screen_pixels.py count SHOT.ppm R G B LEFT TOP RIGHT BOTTOM
      Prints how many pixels of the colour R G B the rectangle holds.
  screen_pixels.py painted SHOT.ppm LEFT TOP RIGHT BOTTOM
      Exits with 0 when the rectangle holds more than one colour (drawn), else 1.
  screen_pixels.py same SHOT.ppm OTHER.ppm LEFT TOP RIGHT BOTTOM
      Exits with 0 when the rectangle looks the same on both, else 1.
"""
import struct
import sys


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maxval; skip comments
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and fields[3] == b"255", "want an 8-bit binary PPM"
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]
    return width, height, [pixels[y * width * 3:(y + 1) * width * 3] for y in range(height)]


def read_bmp_rows_rgb(path):
    """Top-down rows of RGB bytes from a bottom-up 24-bit BMP."""
    data = open(path, "rb").read()
    assert data[:2] == b"BM"
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    assert bits == 24 and height > 0
    stride = 3 * width + width % 4
    rows = []
    for y in range(height):
        row = data[offset + (height - 1 - y) * stride:][:3 * width]
        rgb = bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::3], row[1::3], row[0::3]
        rows.append(bytes(rgb))
    return width, height, rows


def clip(screen_w, screen_h, left, top, right, bottom):
    return max(left, 0), max(top, 0), min(right, screen_w), min(bottom, screen_h)


def find(args):
    shot, picture = args[0], args[1]
    left, top, right, bottom = (int(v) for v in args[2:6])
    screen_w, screen_h, screen = read_ppm(shot)
    width, height, rows = read_bmp_rows_rgb(picture)
    if len(args) >= 10:
        px, py, width, height = (int(v) for v in args[6:10])
        rows = [row[3 * px:3 * (px + width)] for row in rows[py:py + height]]
        assert len(rows) == height and all(len(r) == 3 * width for r in rows), "the part lies outside the picture"
    left, top, right, bottom = clip(screen_w, screen_h, left, top, right, bottom)
    for y in range(top, bottom - height + 1):
        start = 3 * left
        while True:
            at = screen[y].find(rows[0], start, 3 * right)
            if at < 0:
                break
            if at % 3 == 0:
                x = at // 3
                if all(screen[y + r][3 * x:3 * (x + width)] == rows[r] for r in range(height)):
                    print(x, y)
                    return 0
            start = at + 1
    print("the picture (%dx%d) is not on the screen inside %d,%d..%d,%d" % (width, height, left, top, right, bottom))
    return 1


def count(args):
    shot = args[0]
    colour = bytes(int(v) for v in args[1:4])
    screen_w, screen_h, screen = read_ppm(shot)
    left, top, right, bottom = clip(screen_w, screen_h, *(int(v) for v in args[4:8]))
    n = 0
    for y in range(top, bottom):
        row = screen[y]
        n += sum(1 for x in range(left, right) if row[3 * x:3 * x + 3] == colour)
    print(n)
    return 0


def painted(args):
    shot = args[0]
    screen_w, screen_h, screen = read_ppm(shot)
    left, top, right, bottom = clip(screen_w, screen_h, *(int(v) for v in args[1:5]))
    seen = set()
    for y in range(top, bottom):
        row = screen[y]
        seen.update(row[3 * x:3 * x + 3] for x in range(left, right))
        if len(seen) > 1:
            return 0
    return 1


def same(args):
    screen_w, screen_h, screen = read_ppm(args[0])
    _, _, other = read_ppm(args[1])
    left, top, right, bottom = clip(screen_w, screen_h, *(int(v) for v in args[2:6]))
    equal = all(screen[y][3 * left:3 * right] == other[y][3 * left:3 * right] for y in range(top, bottom))
    return 0 if equal else 1


def main():
    commands = {"find": find, "count": count, "painted": painted, "same": same}
    if len(sys.argv) < 3 or sys.argv[1] not in commands:
        sys.exit(__doc__)
    return commands[sys.argv[1]](sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())
