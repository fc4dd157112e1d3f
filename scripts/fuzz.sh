#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs them.
#
#   scripts/fuzz.sh [TARGET] [SECONDS]
#
# TARGET is one of the folder names under tests/fuzz/corpus (all when absent
# or "all"). Each run stops after a million executions (FUZZ_RUNS), or after
# SECONDS when given (0, the default, sets no time bound: the count ends the
# run, however long the target's inputs take). Each target starts from its seeds in tests/fuzz/corpus/
# and keeps what it finds in build-fuzz/corpus/; an input that makes a target
# fail is written to build-fuzz/artifacts/. Copy such an input into the
# target's seed folder once its fault is fixed: the ordinary test build then
# replays it for ever.
#
# The machine is shared: everything runs niced, one job at a time.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:-all}
seconds=${2:-0}
runs=${FUZZ_RUNS:-1000000}

# clang and libFuzzer are needed here only, not by the ordinary build.
bash scripts/setup.sh fuzz

if [ "$target" = all ]; then
  targets=()
  for folder in tests/fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
else
  if [ ! -d "tests/fuzz/corpus/$target" ]; then
    echo "fuzz: no target '$target' (one of: $(ls tests/fuzz/corpus | tr '\n' ' '))" >&2
    exit 2
  fi
  targets=("$target")
fi

nice -n 19 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DTRIVU_FUZZ=ON -DTRIVU_TESTS=OFF -DTRIVU_BENCHMARKS=OFF -DTRIVU_HOST=OFF >/dev/null
nice -n 19 cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

root=$PWD
mkdir -p build-fuzz/artifacts
status=0
for name in "${targets[@]}"; do
  work="build-fuzz/run/$name"
  mkdir -p "build-fuzz/corpus/$name" "$work"
  rm -f "$work"/fuzz-*.log
  if [ "$seconds" = 0 ]; then
    echo "fuzz: $name for $runs executions"
  else
    echo "fuzz: $name for up to ${seconds}s or $runs executions"
  fi
  # One job in one worker process, which writes its log to fuzz-0.log in its
  # folder. Leaks count as faults, and so does a slow input (a hang).
  started=$SECONDS
  set +e
  (cd "$work" &&
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    nice -n 19 "$root/build-fuzz/fuzz_$name" -jobs=1 -workers=1 -max_total_time="$seconds" -runs="$runs" \
      -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$root/build-fuzz/artifacts/$name-" \
      "$root/build-fuzz/corpus/$name" "$root/tests/fuzz/corpus/$name" >/dev/null 2>&1)
  result=$?
  set -e
  log="$work/fuzz-0.log"
  cp "$log" "build-fuzz/$name.log" 2>/dev/null || true
  grep -E 'INITED|DONE|^stat::|ERROR|SUMMARY|Test unit written|broken promise' "$log" || true
  echo "fuzz: $name took $((SECONDS - started)) s"
  if [ "$result" -ne 0 ] || grep -q 'Test unit written' "$log"; then
    echo "fuzz: $name FAILED (see build-fuzz/$name.log)"
    status=1
  fi
done
exit $status
