#!/bin/sh
# Runs a Windows program of the build under Wine, quietly and on its own:
#   wine-run.sh PREFIX PROGRAM [ARGUMENT]...
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
shift
if [ "${TRIVU_WINE_DISPLAY:-}" = 1 ]; then
  prefix="$prefix-display"
else
  unset DISPLAY WAYLAND_DISPLAY
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      (unset DISPLAY WAYLAND_DISPLAY; wine wineboot -i >/dev/null 2>&1; wineserver -w)
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
