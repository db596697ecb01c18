#!/usr/bin/env bash
# Runs every test of the project on this machine, installing what is missing:
#   1. the decoder's fuzz target (clang, libFuzzer, sanitizers) for a bounded time;
#   2. the native tests, built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the 32-bit Windows build's tests under Wine, on a virtual X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh

export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.wine-asg}"
export ASG_FUZZ_SECONDS="${ASG_FUZZ_SECONDS:-30}"

echo "== fuzz build (clang, libFuzzer)"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DASG_BUILD_FUZZ=ON >/dev/null
cmake --build build/fuzz
ctest --test-dir build/fuzz --output-on-failure

echo "== native build (ASan + UBSan)"
cmake -S . -B build/native-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DASG_SANITIZE=ON >/dev/null
cmake --build build/native-asan
ctest --test-dir build/native-asan --output-on-failure

echo "== 32-bit Windows build, tests under Wine"
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build build/win32
bash scripts/wine-prefix.sh
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/win32 --output-on-failure
