#!/usr/bin/env bash
# Builds the product the real host loads: build-win32/trivu.mfx, a 32-bit
# Windows DLL, with build-win32/trivu-host.exe and the tests beside it.
# Extra arguments go to CMake's configure step, e.g. -DTRIVU_TESTS=OFF.
#
#   bash scripts/build-win32.sh
#   build-win32/wine-run build-win32/trivu-host.exe run examples/hello.json
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh win32
# On a machine that cannot run 32-bit programs nothing of the build runs (test
# discovery would): the tree is built, and only its file checks registered.
wine=wine
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "build-win32: this machine cannot run 32-bit programs: the build's programs will not run here"
  wine=OFF
fi
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTRIVU_BENCHMARKS=OFF -DTRIVU_WINE=$wine "$@"
cmake --build build-win32 -j2
