#!/usr/bin/env bash
# Times whole xbm2bmp processes against cp of the same files, side by side in
# one hyperfine run per case, and prints each ratio next to its goal:
#   one 2048x2048 sprite          xbm2bmp <= 1.5x cp
#   one 64x48 sprite              xbm2bmp <= 2x cp
#   2000 sprites of 64x48, -d     xbm2bmp <= 2x cp, into a new folder and over existing files
# and then the peak memory of xbm2bmp on sparse files far larger than their pictures.
# Over existing files outputs are put in place by a plain rename, for which ext4
# starts writing the new data out before it returns: that costs some speed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${ASG_BENCH_BUILD:-build/cli-release}  # another folder keeps builds apart
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DASG_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target xbm2bmp >/dev/null
xbm2bmp="$root/$build/cli/xbm2bmp"

work=$(mktemp -d "${TMPDIR:-/tmp}/asg-cli-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir sprites

python3 - "$root/scripts" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from xbm_files import plain_xbm
def sprite(width, height, seed):
    row = [((x * 7 + seed) & 0x1F) << 11 | ((x + seed * 3) & 0x3F) << 5 | (x * 5 & 0x1F) for x in range(width)]
    return plain_xbm(width, height, row * height)
open("big.xbm", "wb").write(sprite(2048, 2048, 1))
open("small.xbm", "wb").write(sprite(64, 48, 2))
for i in range(2000):
    open("sprites/s%04d.xbm" % i, "wb").write(sprite(64, 48, i))
PY

hf() { hyperfine --style basic --warmup 3 --export-json "$1.json" "${@:2}"; }

echo "== one 2048x2048 sprite (outputs exist after the warm-up: both replace a file)"
hf big --min-runs 30 -n xbm2bmp "$xbm2bmp big.xbm big.bmp" -n cp "cp big.xbm big.copy"
echo "== one 2048x2048 sprite into a new file (each output removed before each run)"
hf big-new --min-runs 30 \
  -n xbm2bmp --prepare "rm -f big.bmp" "$xbm2bmp big.xbm big.bmp" \
  -n cp --prepare "rm -f big.copy" "cp big.xbm big.copy"
echo "== one 64x48 sprite (outputs exist after the warm-up)"
hf small --min-runs 300 -N -n xbm2bmp "$xbm2bmp small.xbm small.bmp" -n cp "cp small.xbm small.copy"
echo "== 2000 sprites of 64x48 into a new folder"
hf batch-new --min-runs 15 \
  -n xbm2bmp --prepare "rm -rf out && mkdir out" "$xbm2bmp -d out sprites/*.xbm" \
  -n cp --prepare "rm -rf out && mkdir out" "cp sprites/*.xbm out/"
echo "== 2000 sprites of 64x48 over existing files"
mkdir -p out-bmp out-copy
hf batch-existing --min-runs 15 \
  -n xbm2bmp "$xbm2bmp -d out-bmp sprites/*.xbm" \
  -n cp "cp sprites/*.xbm out-copy/"

echo
echo "== ratios (mean time of xbm2bmp / mean time of cp)"
python3 - <<'PY'
import json
goals = [("big", "one 2048x2048 sprite, over an existing file", 1.5),
         ("big-new", "one 2048x2048 sprite, new file", 1.5), ("small", "one 64x48 sprite, over an existing file", 2.0),
         ("batch-new", "-d, 2000 sprites, new folder", 2.0),
         ("batch-existing", "-d, 2000 sprites, over existing files", 2.0)]
for name, label, goal in goals:
    means = {r["command"]: r["mean"] for r in json.load(open(name + ".json"))["results"]}
    ratio = means["xbm2bmp"] / means["cp"]
    verdict = "meets" if ratio <= goal else "MISSES"
    print("%-46s xbm2bmp %8.2f ms  cp %8.2f ms  ratio %.2f  (goal <= %.1f: %s)"
          % (label, means["xbm2bmp"] * 1e3, means["cp"] * 1e3, ratio, goal, verdict))
PY

echo
echo "== peak memory (sparse files: they take no disk)"
# Measured through the tests' small helper: a child starts from the peak of the
# process that starts it.
cc -O2 -o peak_memory "$root/tests/cli/peak_memory.c"
python3 - "$xbm2bmp" "$root/scripts" <<'PY'
import os, subprocess, sys
xbm2bmp = sys.argv[1]
sys.path.insert(0, sys.argv[2])
from xbm_files import header
cases = [("6 GB, Width 4096: refused on its header", "bad.xbm", header(4096, 1), 6 << 30),
         ("6 GB, a 2048x1 picture at its start", "tail.xbm", header(2048, 1) + bytes(4096), 6 << 30),
         ("256 MB of plain rows, a 2048x65536 picture (384 MB)", "large.xbm", header(2048, 65536), 64 + 4096 * 65536)]
for label, name, start, size in cases:
    with open(name, "wb") as f:
        f.write(start)
        f.truncate(size)
    subprocess.run(["./peak_memory", "peak.txt", xbm2bmp, name, "out.bmp"], stderr=subprocess.DEVNULL)
    print("%-54s peak %7.1f MB" % (label, int(open("peak.txt").read()) / 1024))
    os.remove(name)
    if os.path.exists("out.bmp"):
        os.remove("out.bmp")
PY
