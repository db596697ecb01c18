#!/usr/bin/env bash
# Independent check of the BMP output with ImageMagick.
# Usage: imagemagick_check.sh XBM2BMP WORKDIR
#
# Builds a few XBM files, converts them with xbm2bmp, and compares each BMP, as
# ImageMagick reads it, with the picture that ImageMagick makes itself from the
# raw RGB565 words of a plain file: `gray:` reads the words as 16-bit grey, and
# -fx splits them into the fields, scaled as the converter does (blue x8, green x4,
# red x8, no bit replication). A skip-run file is checked against the plain file
# that holds the same pixels (its gaps are black, word 0x0000).
set -euo pipefail
xbm2bmp=$1 work=$2
command -v convert >/dev/null && command -v compare >/dev/null || {
  echo "imagemagick_check: ImageMagick (convert, compare) is not installed" >&2
  exit 1
}
rm -rf "$work"
mkdir -p "$work"

# Each line of the list: NAME WIDTH HEIGHT DATA_OFFSET PLAIN_TWIN
python3 - "$work" "$(dirname "$0")/../../scripts" > "$work/list" <<'PY'
import os, random, sys

work = sys.argv[1]
sys.path.insert(0, sys.argv[2])
from xbm_files import plain_xbm, skip_run_picture

rng = random.Random(2024)

def pixels(width, height, holes=0.0):
    px = [rng.randrange(65536) for _ in range(width * height)]
    px[:5] = [0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0000][: len(px)]
    return [0 if rng.random() < holes else p for p in px]

def skip_run(width, height, px):
    """The same pixels with most black ones left to gaps (a gap shows black)."""
    stored = [None if p == 0 and rng.random() < 0.85 else p for p in px]
    return skip_run_picture(width, height, lambda x, y: stored[y * width + x])

def write(name, data):
    with open(os.path.join(work, name + ".xbm"), "wb") as f:
        f.write(data)

cases = [("pad1_5x3", 5, 3, 0, b"", 0.0), ("pad0_64x48", 64, 48, 0, b"", 0.0),
         ("pad3_7x2_encoding65535_extra", 7, 2, 65535, b"\xee" * 37, 0.0),
         ("pad2_2046x3", 2046, 3, 2, b"", 0.0), ("holes_61x40", 61, 40, 0, b"", 0.5),
         ("holes_2048x8", 2048, 8, 0, b"", 0.7)]
for name, width, height, encoding, extra, holes in cases:
    px = pixels(width, height, holes)
    write(name, plain_xbm(width, height, px, encoding, extra))
    print(name, width, height, 64 + len(extra), "-")
    if holes:
        write(name + "_skiprun", skip_run(width, height, px))
        print(name + "_skiprun", width, height, 64 + len(extra), name)
PY

failures=0
while read -r name width height offset twin; do
  plain=$name
  [ "$twin" != "-" ] && plain=$twin
  if ! "$xbm2bmp" "$work/$name.xbm" "$work/$name.bmp" 2>"$work/$name.err"; then
    echo "FAIL $name: xbm2bmp failed: $(cat "$work/$name.err")"
    failures=$((failures + 1))
    continue
  fi
  convert -size "${width}x${height}+${offset}" -depth 16 -endian LSB "gray:$work/$plain.xbm" \
    -colorspace sRGB \
    -channel R -fx "floor(round(u*65535)/2048)*8/255" \
    -channel G -fx "(floor(round(u*65535)/32)%64)*4/255" \
    -channel B -fx "(round(u*65535)%32)*8/255" \
    +channel -depth 8 "$work/$name.want.png"
  size=$(identify -format "%wx%h" "$work/$name.bmp" 2>&1 || true)
  if [ "$size" != "${width}x${height}" ]; then
    echo "FAIL $name: ImageMagick reads the BMP as $size, want ${width}x${height}"
    failures=$((failures + 1))
    continue
  fi
  differing=$(compare -metric AE "$work/$name.bmp" "$work/$name.want.png" null: 2>&1 || true)
  if [ "$differing" != "0" ]; then
    echo "FAIL $name: $differing pixels differ from ImageMagick's reading of the RGB565 words"
    failures=$((failures + 1))
  else
    echo "ok   $name (${width}x${height})"
  fi
done < "$work/list"

[ "$failures" -eq 0 ] || { echo "imagemagick_check: $failures file(s) differ"; exit 1; }
