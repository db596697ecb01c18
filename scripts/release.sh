#!/usr/bin/env bash
# Makes the release for Windows users, installing what is missing:
#   build/release/ASGXBMConverter-<version>-win32.zip
# with the two 32-bit programs (the product), stripped, and README.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
source scripts/wine-env.sh

cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(asg_windows_toolchain win32)" >/dev/null
cmake --build build/win32 --target ASGXBMConverter xbm2bmp
rm -rf build/release
(cd build/win32 && cpack -B "$root/build/release" >/dev/null)
rm -rf build/release/_CPack_Packages
ls "$root"/build/release/ASGXBMConverter-*-win32.zip
