# Sourced by the scripts that look at the program on an X display: waiting for
# a condition with bounded polling instead of fixed sleeps, screenshots, and
# the pixel checks of screen_pixels.py.
asg_screen_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# asg_poll SECONDS COMMAND... : runs COMMAND every 0.2 s until it succeeds;
# fails when it has not after SECONDS.
asg_poll() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

# asg_shot FILE : the whole display as FILE.png (to look at) and FILE.ppm (to check).
asg_shot() {
  import -window root "$1.png" && convert "$1.png" -depth 8 "$1.ppm"
}

asg_pixels() {
  python3 "$asg_screen_dir/screen_pixels.py" "$@"
}

# asg_window_id NAME : prints the id of the shown X window whose name holds NAME; fails while there is none.
asg_window_id() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$id" ] && echo "$id"
}

# asg_wait_exit PID SECONDS : waits for the process (a child of this shell)
# to end and sets asg_exit_status to its exit code; ends it and fails when it
# still runs after SECONDS.
asg_wait_exit() {
  local pid=$1
  asg_exit_status=0
  if ! asg_poll "$2" eval "! kill -0 $pid 2>/dev/null"; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 1
  fi
  wait "$pid" || asg_exit_status=$?
}
