#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite in three stages: a normal
# build, one with AddressSanitizer and UndefinedBehaviorSanitizer, and the
# 32-bit Windows build under Wine (scripts/test-win32.sh, which also runs
# alone; TRIVU_WIN32=off leaves it out).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh tests

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j2
  ctest --test-dir "$dir" --output-on-failure -j2
}

# Each stage says how long it took, so that CI logs show where the time goes.
timed() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "test.sh: stage '$name' took $((SECONDS - start)) s"
}

timed release run_suite build -DCMAKE_BUILD_TYPE=Release
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  timed sanitizers run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DTRIVU_SANITIZE=ON -DTRIVU_BENCHMARKS=OFF
timed windows bash scripts/test-win32.sh
