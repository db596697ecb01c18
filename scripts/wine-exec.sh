#!/usr/bin/env bash
# Runs a Windows executable under Wine, quietly, in the project's own prefix.
# Used as CMake's cross-compiling emulator, so ctest runs Windows tests through it.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.wine-asg}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
