#!/usr/bin/env bash
# Runs the program on the current (virtual) X display for a look: a screenshot
# at start-up, one with the first sprite of the file list selected, then
# closes it with Alt+F4 and reports its exit code.
# Usage: show-on-xvfb.sh PROGRAM.exe SCREENSHOT_FOLDER
set -u
source "$(dirname "$0")/wine-env.sh"
"$ASG_WINE" "$1" &
program=$!
window=""
for _ in $(seq 60); do
  window=$(xdotool search --name "Ashgrove XBM Converter" 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.5
done
sleep 3
import -window root "$2/start.png"
# Click into the file list, then pick its first sprite with the Home key.
if [ -n "$window" ]; then
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 80)) $((Y + 300)) click 1
  sleep 1
  xdotool key Home
  sleep 2
  import -window root "$2/selected.png"
  xdotool key alt+F4
fi
for _ in $(seq 30); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null
echo "The program ended with exit code $?"
