#!/usr/bin/env bash
# Runs a Windows program of the given build under Wine, quietly, in the
# project's prefix for that architecture. CMake's cross-compiling emulator, so
# ctest runs the Windows tests through it.
# Usage: wine-exec.sh win32|win64 PROGRAM.exe ARGS...
set -euo pipefail
ASG_WIN_ARCH=$1
shift
source "$(dirname "$0")/wine-env.sh"
asg_wine_prefix
exec "$ASG_WINE" "$@"
