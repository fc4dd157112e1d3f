#!/usr/bin/env bash
# Makes the package a user installs: build-win32/trivu-VERSION-win32.zip,
# to be unzipped into the host's folder (its layout: cmake/package.cmake).
# It builds the 32-bit Windows tree first (scripts/build-win32.sh, which sets
# up what the machine lacks), on machines that run 32-bit programs and on
# those that cannot alike: making the package runs nothing of the build.
# Extra arguments go to CMake's configure step.
#
#   bash scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build-win32.sh "$@"
if [ ! -f build-win32/CPackConfig.cmake ]; then
  echo "package: build-win32 has no package (pandoc or chmcmd missing?)" >&2
  exit 1
fi
(cd build-win32 && cpack -G ZIP)
ls -l build-win32/trivu-*-win32.zip
