#!/usr/bin/env bash
# Builds the program for Windows and starts it under Wine, with Wine's drive E:
# holding the demo sprites in the folder the program opens at start:
#   E:\Program Files\Quillon\Projects\Formats\ASGConverter\
# The product is the 32-bit build; on a machine that cannot run 32-bit x86 code
# the 64-bit build of the same program is started instead.
# On the user's X display the window stays until it is closed. Without a
# display the program runs on a virtual one (Xvfb): the script takes
# screenshots, one at start-up and one with a sprite selected, says where they
# are and closes the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
source scripts/wine-env.sh

[ "$ASG_WIN_ARCH" = win64 ] && echo "This machine cannot run 32-bit x86 programs: starting the 64-bit build"
cmake -S . -B "$ASG_WIN_BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(asg_windows_toolchain "$ASG_WIN_ARCH")" >/dev/null
cmake --build "$ASG_WIN_BUILD" --target ASGXBMConverter
exe="$ASG_WIN_BUILD/app/ASGXBMConverter.exe"

drive_e="$root/build/drive-e"
sprites="$drive_e/Program Files/Quillon/Projects/Formats/ASGConverter"
python3 scripts/make_demo_sprites.py "$sprites"
asg_wine_prefix
ln -sfn "$drive_e" "$WINEPREFIX/dosdevices/e:"
echo "Drive E: is $drive_e"

# The program's own folder is its current folder (where the save dialogs start).
cd "$ASG_WIN_BUILD/app"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # Let the desktop's window manager draw the title bar.
  "$ASG_WINE" reg.exe delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1 || true
  echo "Starting the program on display $DISPLAY"
  "$ASG_WINE" "$exe"
  exit
fi

# No display: a virtual one, without a window manager, so Wine draws the title bar itself.
"$ASG_WINE" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
"$ASG_WINESERVER" -w  # Wine's desktop process must start afresh on the virtual display
shots="$root/build/screenshots"
mkdir -p "$shots"
echo "No X display: running the program on a virtual display (Xvfb)"
xvfb-run -a -s "-screen 0 1280x1024x24" bash ${ASG_TRACE:+-x} "$root/scripts/show-on-xvfb.sh" "$exe" "$shots"
echo "Screenshots in $shots: start.png (start-up), selected.png (first sprite selected),"
echo "about.png and about-resized.png (the about dialog before and after the window was made 900 x 700)"
