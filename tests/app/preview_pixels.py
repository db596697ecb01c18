#!/usr/bin/env python3
"""Finds a BMP picture, pixel for pixel, in a screenshot.

Usage: preview_pixels.py SCREENSHOT.ppm PICTURE.bmp LEFT TOP RIGHT BOTTOM

Looks for the picture inside the screen rectangle LEFT..RIGHT x TOP..BOTTOM
and prints the screen position of its top-left corner, or exits with 1.
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


def main():
    shot, picture = sys.argv[1], sys.argv[2]
    left, top, right, bottom = (int(v) for v in sys.argv[3:7])
    _, screen_h, screen = read_ppm(shot)
    width, height, rows = read_bmp_rows_rgb(picture)
    for y in range(max(top, 0), min(bottom, screen_h) - height + 1):
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


if __name__ == "__main__":
    sys.exit(main())
