#!/usr/bin/env bash
# Creates the project's Wine prefix once (about 15 s); later calls return at once.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.wine-asg}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating Wine prefix $WINEPREFIX" >&2
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
