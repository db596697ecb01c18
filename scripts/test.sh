#!/usr/bin/env bash
# Runs every test of the project on this machine, installing what is missing:
#   1. the decoder's fuzz target (clang, libFuzzer, sanitizers) for a bounded time;
#   2. the native tests, built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the Windows build's tests under Wine, on a virtual X display: the 32-bit
#      build where this machine runs 32-bit x86 code, else the 64-bit one;
#      the exes of the other build are made and import-checked as well;
#   4. the release zip, made by the release command, unpacked and checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
source scripts/wine-env.sh
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

# Release: the shipped exes are optimised without assertions; the tests link
# the checked twins of the libraries, with assertions on (top CMakeLists.txt).
configure_windows() {  # ARCH
  cmake -S . -B "build/$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$(asg_windows_toolchain "$1")" \
    >/dev/null
}

other=win64
[ "$ASG_WIN_ARCH" = win64 ] && other=win32
echo "== $other Windows build: the two programs and their imports"
configure_windows $other
cmake --build "build/$other" --target ASGXBMConverter xbm2bmp
ctest --test-dir "build/$other" --output-on-failure -R '^windows_imports$'

if [ "$ASG_WIN_ARCH" = win64 ]; then
  echo "== This machine cannot run 32-bit x86 programs: the Windows tests run on the 64-bit build under wine64"
fi
echo "== $ASG_WIN_ARCH Windows build, tests under Wine"
configure_windows "$ASG_WIN_ARCH"
cmake --build "$ASG_WIN_BUILD"
asg_wine_prefix
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$ASG_WIN_BUILD" --output-on-failure

echo "== release zip: made as the README says, unpacked and checked"
release=$(bash scripts/release.sh | tail -1)
python3 tests/release_check.py "$release" CMakeLists.txt x86_64-w64-mingw32-nm /usr/x86_64-w64-mingw32/lib
