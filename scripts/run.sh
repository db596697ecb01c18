#!/usr/bin/env bash
# Builds the program for 32-bit Windows and starts it under Wine, with Wine's
# drive E: holding the demo sprites in the folder the program opens at start:
#   E:\Program Files\Quillon\Projects\Formats\ASGConverter\
# On the user's X display the window stays until it is closed. Without a
# display the program runs on a virtual one (Xvfb): after a few seconds the
# script takes screenshots, one at start-up and one with a sprite selected,
# says where they are and closes the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh

export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.wine-asg}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build build/win32 --target ASGXBMConverter
exe="$root/build/win32/app/ASGXBMConverter.exe"

drive_e="$root/build/drive-e"
sprites="$drive_e/Program Files/Quillon/Projects/Formats/ASGConverter"
python3 scripts/make_demo_sprites.py "$sprites"
bash scripts/wine-prefix.sh
ln -sfn "$drive_e" "$WINEPREFIX/dosdevices/e:"
echo "Drive E: is $drive_e"

# The program's own folder is its current folder (where the save dialogs start).
cd "$root/build/win32/app"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # Let the desktop's window manager draw the title bar.
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1 || true
  echo "Starting the program on display $DISPLAY"
  exec wine "$exe"
fi

# No display: a virtual one, without a window manager, so Wine draws the title bar itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wineserver -w  # Wine's desktop process must start afresh on the virtual display
shots="$root/build/screenshots"
mkdir -p "$shots"
echo "No X display: running the program on a virtual display (Xvfb)"
xvfb-run -a -s "-screen 0 1280x1024x24" bash ${ASG_TRACE:+-x} "$root/scripts/show-on-xvfb.sh" "$exe" "$shots"
echo "Screenshots: $shots/start.png (start-up) and $shots/selected.png (first sprite selected)"
