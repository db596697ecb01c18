#!/usr/bin/env python3
"""Writes a few tiny XBM files (plain and skip-run, with and without an extra
block) into OUTDIR as fuzzing seeds. Usage: make_seeds.py OUTDIR"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from xbm_files import header, plain_xbm, skip_run_xbm, words  # noqa: E402

seeds = {
    "plain_1x1.xbm": plain_xbm(1, 1, [0xF800]),
    "plain_5x2.xbm": plain_xbm(5, 2, range(0x1000, 0x100A), encoding=2),
    "plain_extra.xbm": plain_xbm(3, 1, [0x001F, 0x07E0, 0xFFFF], encoding=65535, extra=b"\xee" * 7),
    "height0.xbm": header(4, 0),
    "width0.xbm": header(0, 3),
    "skip_run.xbm": skip_run_xbm(4, [words([4, 4, 0xF800, 0x07E0]), words([8]),
                                     words([1, 7]) + words([1, 2, 3]) + b"\x00" + words([2])]),
    "skip_run_extra.xbm": skip_run_xbm(2, [words([0, 4, 0x1234, 0x4321])], b"\x01\x02"),
}
out = sys.argv[1]
os.makedirs(out, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
