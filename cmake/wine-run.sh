#!/bin/sh
# Runs a Windows program of the build under Wine, quietly and on its own:
#   wine-run.sh PREFIX LOADER SERVER PROGRAM [ARGUMENT]...
# LOADER and SERVER are Wine's loader and server for the build's kind of
# program: "wine" and "wineserver" for the 32-bit product, the 64-bit pair by
# their own paths for the 64-bit test build (Debian's wrappers pick the 32-bit
# pair whenever it is installed, even where it cannot run).
# PREFIX is the build's own Wine folder, made on first use (a few seconds;
# one caller makes it while any other waits), so that no run ever prints
# Wine's own first-start messages. Wine's diagnostics stay off, so that a
# program's standard error is its own; and without a display every window
# the program asks for fails, as it does for the Linux build without a
# desktop. A test that wants real windows runs this under xvfb-run with
# TRIVU_WINE_DISPLAY=1, in a Wine folder of its own: the Wine processes of one
# folder share one desktop, made with the display (or none) of whichever
# came first.
set -e
prefix=$1
loader=$2
server=$3
shift 3
if [ "${TRIVU_WINE_DISPLAY:-}" = 1 ]; then
  prefix="$prefix-display"
else
  unset DISPLAY WAYLAND_DISPLAY
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A loader named by its path also starts Wine's own helper processes.
case "$loader" in /*) export WINELOADER="$loader" WINESERVER="$server" ;; esac
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      (unset DISPLAY WAYLAND_DISPLAY; "$loader" wineboot -i >/dev/null 2>&1; "$server" -w)
    fi
  ) 9>"$prefix.lock"
fi
exec "$loader" "$@"
