#!/usr/bin/env bash
# Runs the program on the current (virtual) X display for a look, the way a
# keyboard user would, and takes screenshots into SCREENSHOT_FOLDER:
#   start.png          at start-up;
#   selected.png       the first sprite of the file list selected (Tab to the list, Home);
#   about.png          the about dialog (F10, Right, Enter on the menu bar);
#   about-resized.png  the about dialog again after the window was made 900 x 700;
# then closes it with Alt+F4 and reports its exit code. Each step waits for
# what it expects to see, for a bounded time.
# Usage: show-on-xvfb.sh PROGRAM.exe SCREENSHOT_FOLDER
set -u
here=$(dirname "$0")
source "$here/wine-env.sh"
source "$here/screen.sh"
shots=$2
"$ASG_WINE" "$1" &
program=$!

# region: the program's window, as it is now.
region() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$X $Y $((X + WIDTH)) $((Y + HEIGHT))"
}
# changed_from NAME : the window no longer looks as on screenshot NAME.
changed_from() {
  # shellcheck disable=SC2046
  asg_shot "$shots/now" && ! asg_pixels same "$shots/now.ppm" "$shots/$1.ppm" $(region)
}
# look NAME WHAT : waits until the window has changed from the last screenshot; keeps it as NAME.
last=""
look() {
  if [ -n "$last" ]; then
    asg_poll 20 changed_from "$last" || echo "The window did not change for: $2"
  fi
  asg_shot "$shots/$1"
  last=$1
}

if asg_poll 60 asg_window_id "Ashgrove XBM Converter" >/dev/null; then
  window=$(asg_window_id "Ashgrove XBM Converter")
  # Without a window manager the keyboard goes to the window under the pointer.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  # shellcheck disable=SC2046
  asg_poll 20 eval 'asg_shot "$shots/start" && asg_pixels painted "$shots/start.ppm" $(region)' ||
    echo "The window was not drawn"
  last=start
  xdotool key Tab Tab Tab Home
  look selected "the first sprite selected"
  xdotool key F10 Right Return
  look about "the about dialog"
  xdotool key Return
  look closed "the about dialog closed"
  xdotool windowsize "$window" 900 700
  asg_poll 20 eval '[ "$(xdotool getwindowgeometry --shell "$window" | grep -c "^WIDTH=900$\|^HEIGHT=700$")" = 2 ]' ||
    echo "The window did not become 900 x 700"
  look resized "the window resized"
  xdotool key F10 Right Return
  look about-resized "the about dialog after the resize"
  xdotool key Return
  look closed "the about dialog closed"
  xdotool key alt+F4
else
  echo "No window appeared"
fi
rm -f "$shots"/*.ppm "$shots/now.png" "$shots/closed.png" "$shots/resized.png"
if asg_wait_exit "$program" 20; then
  echo "The program ended with exit code $asg_exit_status"
else
  echo "The program did not end; it was stopped"
fi
