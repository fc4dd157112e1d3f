#!/bin/sh
# Runs a Windows program of the build under Wine, quietly and on its own:
#   wine-run.sh PREFIX ARCH LOADER SERVER PROGRAM [ARGUMENT]...
# LOADER and SERVER are Wine's loader and server for the build's kind of
# program: "wine" and "wineserver" for the 32-bit product, the 64-bit pair by
# their own paths for the 64-bit test build (Debian's wrappers pick the 32-bit
# pair whenever it is installed, even where it cannot run).
# PREFIX is the build's own Wine folder, of the kind ARCH says: win32 for
# the 32-bit product, even where 64-bit Wine is installed too (Wine would
# then make a 64-bit folder, whose helper processes are 64-bit programs that
# write to the product's standard error when one of them fails). It is made
# on first use (a few seconds; one caller makes it while any other waits), so that no run ever prints
# Wine's own first-start messages. Wine's diagnostics stay off, so that a
# program's standard error is its own; and without a display every window
# the program asks for fails, as it does for the Linux build without a
# desktop. A test that wants real windows runs this under xvfb-run with
# TRIVU_WINE_DISPLAY=1, in a Wine folder of its own: the Wine processes of one
# folder share one desktop, made with the display (or none) of whichever
# came first.
set -e
prefix=$1
arch=$2
loader=$3
server=$4
shift 4
if [ "${TRIVU_WINE_DISPLAY:-}" = 1 ]; then
  prefix="$prefix-display"
else
  unset DISPLAY WAYLAND_DISPLAY
fi
export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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
