# Sourced by every script that runs Windows programs: the one place that
# knows how Wine is started here.
#
# The Windows tests run on the 32-bit build where this machine executes 32-bit
# x86 code, and on the 64-bit build under wine64 where it cannot. ASG_WIN_ARCH
# (win32 or win64) chooses by hand. Sets, for the chosen build:
#   ASG_WIN_ARCH     win32 or win64
#   ASG_WIN_BUILD    its build folder
#   ASG_WINE         the Wine loader: "$ASG_WINE" PROGRAM.exe ARGS... (also wineboot.exe, reg.exe, winepath.exe)
#   ASG_WINESERVER   the prefix's wineserver (-w waits for it to end, -k ends it)
#   WINEPREFIX (one per architecture, reused between runs), WINEARCH, WINEDEBUG, WINEDLLOVERRIDES
# and the functions
#   asg_wine_prefix              creates the prefix once (about 15 s)
#   asg_windows_toolchain ARCH   the CMake toolchain file of a Windows build
asg_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ -z "${ASG_WIN_ARCH:-}" ]; then
  if bash "$asg_root/scripts/can-run-i386.sh"; then ASG_WIN_ARCH=win32; else ASG_WIN_ARCH=win64; fi
fi
case "$ASG_WIN_ARCH" in
  win32) ASG_WINE=/usr/lib/wine/wine ;;
  win64)
    ASG_WINE=/usr/lib/wine/wine64
    export WINELOADER=$ASG_WINE
    ;;
  *)
    echo "ASG_WIN_ARCH must be win32 or win64, not '$ASG_WIN_ARCH'" >&2
    return 2 2>/dev/null || exit 2
    ;;
esac
export ASG_WIN_ARCH ASG_WINE
export ASG_WINESERVER=/usr/lib/wine/wineserver
export ASG_WIN_BUILD="$asg_root/build/$ASG_WIN_ARCH"
export WINEARCH=$ASG_WIN_ARCH
export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.wine-asg-$ASG_WIN_ARCH}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

asg_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating Wine prefix $WINEPREFIX ($ASG_WIN_ARCH)" >&2
    "$ASG_WINE" wineboot.exe -i >/dev/null 2>&1 || true
    "$ASG_WINESERVER" -w || true
  fi
}

asg_windows_toolchain() {
  if [ "$1" = win64 ]; then echo "$asg_root/cmake/mingw-x86_64.cmake"; else echo "$asg_root/cmake/mingw-i686.cmake"; fi
}
