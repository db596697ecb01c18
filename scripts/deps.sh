#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the run command need.
# Does nothing when all of them are present already.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth x11-utils xdotool imagemagick
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev hyperfine fonts-wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >&2
