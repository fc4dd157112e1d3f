#!/usr/bin/env bash
# The Windows stage of the test suite, which scripts/test.sh runs third; it
# also runs alone:  bash scripts/test-win32.sh
#
# What runs depends on the machine, found by trying to run Wine's 32-bit
# loader (some kernels cannot execute 32-bit programs at all, whatever the
# packages say):
#
# - Where 32-bit programs run: the 32-bit library, the product, is built
#   (scripts/build-win32.sh) and everything runs under Wine: the cross-built
#   unit tests, every command and end-to-end case of trivu-host.exe against
#   the same expected files as the Linux build, the checks of the PE file, and
#   the real USER32 calls on a virtual display (xvfb-run), and the package:
#   made by CPack, unzipped, its layout and help file checked, an example
#   played by the packaged trivu-host.exe on both packaged libraries.
# - Where they do not: the 32-bit library is still built from clean, with its
#   test programs, and checked without running anything (its kind, exports,
#   imports and resources, and every compile-time check of the 32-bit build),
#   and its package is made and checked as far as reading files goes;
#   then the same sources are built for 64-bit Windows, a test vehicle and not
#   a product, and that whole test set runs under Wine's 64-bit loader.
#
# TRIVU_WIN32=off skips the stage; when the machine cannot have Wine (no apt,
# no root) or runs neither loader, the stage is skipped with a message, unless
# TRIVU_WIN32=required (as in CI), which makes that a failure.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${TRIVU_WIN32:-auto}
wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64

# Says why the stage cannot run; a failure where it is required.
cannot() {
  if [ "$mode" = required ]; then
    echo "Windows stage: FAILED: $1" >&2
    exit 1
  fi
  echo "Windows stage: skipped: $1"
  exit 0
}

runs() { "$1" --version >/dev/null 2>&1; }

timed() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "test-win32: '$name' took $((SECONDS - start)) s"
}

build_and_test() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DTRIVU_BENCHMARKS=OFF "$@"
  cmake --build "$dir" -j2
  ctest --test-dir "$dir" --output-on-failure -j2
}

# What a user downloads and installs, in bytes.
sizes() {
  local file
  for file in "$1/trivu.mfx" "$1/runtime/trivu.mfx" "$1"/tests/package/made/trivu-*-win32.zip; do
    if [ -f "$file" ]; then echo "test-win32: $file: $(stat -c %s "$file") bytes"; fi
  done
}

if [ "$mode" = off ]; then
  echo "Windows stage: skipped (TRIVU_WIN32=off)"
  exit 0
fi
bash scripts/setup.sh win32 || cannot "cannot install the Windows tool chain and Wine here"

if runs "$wine32_loader"; then
  echo "Windows stage: this machine runs 32-bit programs: the 32-bit library is built and all its tests run under Wine"
  timed "32-bit build and tests" build_and_test build-win32 \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DTRIVU_WINE=wine -DTRIVU_WINESERVER=wineserver
  sizes build-win32
  echo "Windows stage: passed: the 32-bit library and all its tests ran under Wine"
  exit 0
fi

echo "Windows stage: this machine cannot run 32-bit programs ($wine32_loader does not start)"
bash scripts/setup.sh win64 || cannot "cannot install the 64-bit Windows tool chain and Wine's 64-bit loader"
runs "$wine64_loader" || cannot "this machine runs neither Wine's 32-bit nor its 64-bit loader"

rm -rf build-win32
timed "32-bit build and static checks" build_and_test build-win32 \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DTRIVU_WINE=OFF
sizes build-win32
timed "64-bit build and tests" build_and_test build-win64 \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DTRIVU_WINE="$wine64_loader" \
  -DTRIVU_WINESERVER=/usr/lib/wine/wineserver64
echo "Windows stage: passed: this machine cannot run 32-bit programs: the 32-bit library was built and checked" \
  "without running; the tests ran on the 64-bit Windows build under Wine"
