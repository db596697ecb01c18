#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the run command need.
# Does nothing when all of them are present already. The 32-bit Wine loader is
# installed only where this machine executes 32-bit x86 code; everywhere else
# the Windows programs run on wine64.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  cmake ninja-build g++ python3
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev hyperfine fonts-wine
)
i386=no
if bash "$here/can-run-i386.sh"; then
  i386=yes
  packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ $i386 = yes ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >&2
