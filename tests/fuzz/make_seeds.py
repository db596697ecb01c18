#!/usr/bin/env python3
"""Writes a few tiny XBM files (plain and skip-run, with and without an extra
block) into OUTDIR as fuzzing seeds. Usage: make_seeds.py OUTDIR"""
import os
import struct
import sys


def header(width, height, encoding, extra=b""):
    head = bytearray(64)
    struct.pack_into("<iiH", head, 20, width, height, 0)
    struct.pack_into("<H", head, 30, encoding)
    if extra:
        struct.pack_into("<II", head, 36, 1, len(extra))
    return bytes(head) + extra


def skip_run(width, rows, extra=b""):
    table, data = b"", b""
    for row in rows:
        table += struct.pack("<I", 4 * len(rows) + len(data))
        data += row
    return header(width, len(rows), 1, extra) + table + data


def words(*values):
    return struct.pack("<%dH" % len(values), *values)


seeds = {
    "plain_1x1.xbm": header(1, 1, 0) + words(0xF800),
    "plain_5x2.xbm": header(5, 2, 2) + words(*range(0x1000, 0x100A)),
    "plain_extra.xbm": header(3, 1, 65535, b"\xee" * 7) + words(0x001F, 0x07E0, 0xFFFF),
    "height0.xbm": header(4, 0, 0),
    "width0.xbm": header(0, 3, 0),
    "skip_run.xbm": skip_run(4, [words(4, 4, 0xF800, 0x07E0), words(8), words(1, 7) + words(1, 2, 3) + b"\x00" + words(2)]),
    "skip_run_extra.xbm": skip_run(2, [words(0, 4, 0x1234, 0x4321)], b"\x01\x02"),
}
out = sys.argv[1]
os.makedirs(out, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
