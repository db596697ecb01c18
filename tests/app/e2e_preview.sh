#!/usr/bin/env bash
# End to end on an X display (run under xvfb-run): starts the real program
# with Wine's drive E: holding copies of one sprite in the start folder, clicks
# a file in the file list, takes a screenshot and checks that
#   - the window is 696 x 506,
#   - the preview shows exactly the pixels of the BMP that xbm2bmp makes of the sprite,
#   - closing the window with Alt+F4 ends the program with exit code 0.
# Usage: e2e_preview.sh PROGRAM.exe XBM2BMP.exe WORKDIR
set -euo pipefail
exe=$1 xbm2bmp=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

source "$root/scripts/wine-env.sh"
# A prefix of its own: drive E: and the window decoration are changed there only.
export WINEPREFIX="$WINEPREFIX-e2e"
asg_wine_prefix
# No window manager on the virtual display: Wine draws the title bar and frame itself,
# so the X window is the whole 696 x 506 window.
"$ASG_WINE" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
"$ASG_WINESERVER" -w

rm -rf "$work"
start="$work/drive-e/Program Files/Quillon/Projects/Formats/ASGConverter"
mkdir -p "$start" "$work/sprites" "$work/expected"
python3 "$root/scripts/make_demo_sprites.py" "$work/sprites" >/dev/null
# Enough copies of one sprite to fill the file list, so that a click anywhere in it hits a file.
for i in $(seq -w 1 40); do cp "$work/sprites/gradient.xbm" "$start/gradient$i.xbm"; done
ln -sfn "$work/drive-e" "$WINEPREFIX/dosdevices/e:"
"$ASG_WINE" "$xbm2bmp" -d "$("$ASG_WINE" winepath.exe -w "$work/expected")" "$("$ASG_WINE" winepath.exe -w "$work/sprites/gradient.xbm")"

fail() {
  echo "FAIL: $*"
  kill "$program" 2>/dev/null || true
  exit 1
}

"$ASG_WINE" "$exe" &
program=$!
window=""
for _ in $(seq 60); do
  window=$(xdotool search --name "Ashgrove XBM Converter" 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || fail "no window appeared"
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 696 ] && [ "$HEIGHT" = 506 ] || fail "window is ${WIDTH}x${HEIGHT}, want 696x506"

# The file list fills the lower left of the window.
xdotool mousemove $((X + 80)) $((Y + 330)) click 1
sleep 2
import -window root "$work/preview.png"
convert "$work/preview.png" -depth 8 "$work/preview.ppm"
if ! at=$(python3 "$here/preview_pixels.py" "$work/preview.ppm" "$work/expected/gradient.bmp" \
    $((X + 167)) "$Y" $((X + WIDTH)) $((Y + HEIGHT))); then
  fail "$at (screenshot: $work/preview.png)"
fi
read -r px py <<<"$at"
# Anchored at the top-left of the preview area: past the left pane by no more than frame and edge.
[ $((px - X - 167)) -le 8 ] && [ $((py - Y)) -le 60 ] ||
  fail "preview at $px,$py is not at the top-left of the preview area (window at $X,$Y)"
echo "preview found at screen $px,$py, window at $X,$Y (screenshot: $work/preview.png)"

xdotool key alt+F4
for _ in $(seq 30); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
status=0
wait "$program" || status=$?
[ "$status" = 0 ] || fail "the program ended with exit code $status, want 0"
echo "PASS"
