#!/usr/bin/env bash
# Builds xbm2bmp, makes the demo sprites and converts them all to BMP files.
# (Until the window program exists, this is what "run" means.)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release -DASG_BUILD_TESTS=OFF >/dev/null
cmake --build build/native --target xbm2bmp
python3 scripts/make_demo_sprites.py build/demo-sprites
mkdir -p build/demo-bmp

shopt -s nocaseglob  # HERO.XBM too
status=0
build/native/cli/xbm2bmp -d build/demo-bmp build/demo-sprites/*.xbm || status=$?
echo
echo "BMP files are in $root/build/demo-bmp:"
ls build/demo-bmp
if [ "$status" -eq 1 ]; then
  echo "damaged.xbm is broken on purpose: xbm2bmp reports it, writes no BMP for it and"
  echo "exits with status 1; every other sprite was converted, so this run counts as done."
elif [ "$status" -ne 0 ]; then
  exit "$status"
fi
