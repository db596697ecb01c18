#!/usr/bin/env bash
# End to end on an X display (run under xvfb-run): starts the real program
# with Wine's drive E: holding two sprites in the start folder (a 64 x 48
# gradient and a 1500 x 1200 landscape), uses it with the keyboard and the
# mouse the way a person does, and checks on screenshots that
#   - the window is 696 x 506;
#   - Tab reaches the file list and Home and End there show each sprite in the
#     preview, exactly the pixels of the BMP that xbm2bmp makes of it, at the
#     top-left corner of the preview area;
#   - a click on the first row of the file list shows the first sprite again;
#   - one notch of the wheel over the preview scrolls the landscape by 48 pixels;
#   - Tab from the file list moves the focus round to the drive box;
#   - Alt+F4 ends the program with exit code 0.
# Every step waits for what it expects to see, for a bounded time.
# Usage: e2e_preview.sh PROGRAM.exe XBM2BMP.exe WORKDIR
set -euo pipefail
exe=$1 xbm2bmp=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

source "$root/scripts/wine-env.sh"
source "$root/scripts/screen.sh"
# A prefix of its own: drive E: and the window decoration are changed there only.
export WINEPREFIX="$WINEPREFIX-e2e"
asg_wine_prefix
# No window manager on the virtual display: Wine draws the title bar and frame itself,
# so the X window is the whole 696 x 506 window.
"$ASG_WINE" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# The colour of a focused control's selection, as this prefix draws it.
highlight=$("$ASG_WINE" reg.exe query 'HKCU\Control Panel\Colors' /v Hilight 2>/dev/null |
  tr -d '\r' | awk '$1 == "Hilight" { print $3, $4, $5 }')
[ -n "$highlight" ] || highlight="0 120 215"
"$ASG_WINESERVER" -w

rm -rf "$work"
start="$work/drive-e/Program Files/Quillon/Projects/Formats/ASGConverter"
mkdir -p "$start" "$work/sprites" "$work/expected"
python3 "$root/scripts/make_demo_sprites.py" "$work/sprites" >/dev/null
cp "$work/sprites/gradient.xbm" "$work/sprites/landscape.xbm" "$start/"
ln -sfn "$work/drive-e" "$WINEPREFIX/dosdevices/e:"
for sprite in gradient landscape; do
  "$ASG_WINE" "$xbm2bmp" -d "$("$ASG_WINE" winepath.exe -w "$work/expected")" \
    "$("$ASG_WINE" winepath.exe -w "$work/sprites/$sprite.xbm")" >/dev/null
done
gradient="$work/expected/gradient.bmp" landscape="$work/expected/landscape.bmp"

program=""
fail() {
  echo "FAIL: $*"
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  exit 1
}

shot="$work/screen"
# shows PICTURE.bmp [X Y W H] : the picture (or that part of it) is on screen
# right of the left pane; prints where its top-left corner is.
shows() {
  asg_shot "$shot" && asg_pixels find "$shot.ppm" "$1" $((X + 167)) "$Y" $((X + WIDTH)) $((Y + HEIGHT)) "${@:2}"
}
# shows_at PICTURE.bmp X Y W H AT_X AT_Y : that part of the picture, with its corner exactly at AT_X, AT_Y.
shows_at() {
  asg_shot "$shot" && asg_pixels find "$shot.ppm" "$1" "$6" "$7" $(($6 + $4)) $(($7 + $5)) "$2" "$3" "$4" "$5" >/dev/null
}
# highlighted LEFT TOP RIGHT BOTTOM : the rectangle shows a focused selection.
highlighted() {
  asg_shot "$shot" && [ "$(asg_pixels count "$shot.ppm" $highlight "$@")" -gt 100 ]
}
"$ASG_WINE" "$exe" &
program=$!
asg_poll 60 asg_window_id "Ashgrove XBM Converter" >/dev/null || fail "no window appeared"
window=$(asg_window_id "Ashgrove XBM Converter")
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 696 ] && [ "$HEIGHT" = 506 ] || fail "window is ${WIDTH}x${HEIGHT}, want 696x506"
# Without a window manager the keyboard goes to the window under the pointer.
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
asg_poll 20 eval 'asg_shot "$shot" && asg_pixels painted "$shot.ppm" "$X" "$Y" $((X + WIDTH)) $((Y + HEIGHT))' ||
  fail "the window was not drawn"
cp "$shot.png" "$work/start.png"

# From the window itself Tab goes to the drive box, the folder list, the file list.
xdotool key Tab Tab Tab Home
first=gradient second=landscape
at=""
asg_poll 20 eval 'at=$(shows "$gradient") || { at=$(shows "$landscape" 0 0 300 200) && first=landscape second=gradient; }' ||
  fail "Home in the file list showed neither sprite (screenshot: $shot.png)"
read -r px py <<<"$at"
# Anchored at the top-left of the preview area: past the left pane by no more than frame and edge.
[ $((px - X - 167)) -le 8 ] && [ $((py - Y)) -le 60 ] ||
  fail "preview at $px,$py is not at the top-left of the preview area (window at $X,$Y)"
echo "Home: $first.xbm at screen $px,$py, window at $X,$Y"
# The client area, found from the picture: the preview area starts 167 pixels
# in, and its sunken edge is 2 pixels wide.
cx=$((px - 167 - 2)) cy=$((py - 2))

part() { if [ "$1" = landscape ]; then echo "$landscape 0 0 300 200"; else echo "$gradient 0 0 64 48"; fi; }
xdotool key End
# shellcheck disable=SC2046
asg_poll 20 shows_at $(part "$second") "$px" "$py" || fail "End did not show $second.xbm (screenshot: $shot.png)"
echo "End: $second.xbm"

# The first row of the file list, which starts 202 pixels down the left pane.
xdotool mousemove $((cx + 40)) $((cy + 202 + 8)) click 1
# shellcheck disable=SC2046
asg_poll 20 shows_at $(part "$first") "$px" "$py" ||
  fail "a click on the first row did not show $first.xbm (screenshot: $shot.png)"
echo "click on the first row: $first.xbm"

if [ "$first" != landscape ]; then xdotool key End; fi
asg_poll 20 shows_at "$landscape" 0 0 300 200 "$px" "$py" || fail "the landscape is not shown (screenshot: $shot.png)"
xdotool mousemove $((px + 250)) $((py + 200)) click 5
asg_poll 20 shows_at "$landscape" 0 48 300 200 "$px" "$py" ||
  fail "one notch of the wheel did not scroll the landscape by 48 pixels (screenshot: $shot.png)"
sleep 0.5
asg_shot "$shot"
asg_pixels find "$shot.ppm" "$landscape" "$px" "$py" $((px + 300)) $((py + 201)) 0 48 300 200 >/dev/null ||
  fail "the landscape went on scrolling past 48 pixels (screenshot: $shot.png)"
cp "$shot.png" "$work/wheel.png"
echo "wheel: the landscape scrolled by 48 pixels"

# The drive box: the top 21 pixels of the left pane.
drive_box="$cx $cy $((cx + 167)) $((cy + 21))"
# shellcheck disable=SC2086
! highlighted $drive_box || fail "the drive box shows the focus before Tab (screenshot: $shot.png)"
xdotool key Tab
# shellcheck disable=SC2086
asg_poll 20 highlighted $drive_box || fail "Tab from the file list did not reach the drive box (screenshot: $shot.png)"
cp "$shot.png" "$work/tab.png"
echo "Tab: the focus is in the drive box"

xdotool key alt+F4
asg_wait_exit "$program" 20 || fail "the program did not end after Alt+F4"
program=""
[ "$asg_exit_status" = 0 ] || fail "the program ended with exit code $asg_exit_status, want 0"
echo "Alt+F4: exit code 0 (screenshots: $work/start.png, $work/wheel.png, $work/tab.png)"
echo "PASS"
