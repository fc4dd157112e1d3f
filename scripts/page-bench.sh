#!/usr/bin/env bash
# The sizes of the `run --html` page and the `--svg` drawing of a long, busy
# run, and the time headless Chromium takes to draw one of the page's ticks
# (the page's #bench fragment draws every tick once and writes
# data-ms-per-tick). Reported, never asserted.
#
#   bash scripts/page-bench.sh [HOST] [TICKS] [INSTANCES] [KEEP_DIR]
#
# KEEP_DIR, when given, keeps the scenario, the page and the drawing there.
set -euo pipefail
host=${1:-build/trivu-host} ticks=${2:-10000} count=${3:-50}
work=$(mktemp -d)
keep=${4:-}
trap '[ -z "$keep" ] || cp "$work"/bench.* "$keep"/ 2>/dev/null; rm -rf "$work"' EXIT

# A drifting sun; of the others, a quarter each wraps, bounces, swims on a
# wave and orbits the sun.
others=$((count - 1)) kinds=0
instances='{"object": "Sun", "x": 200, "y": 300}'
for kind in Wrapper Bouncer Fish Star; do
  for ((i = 0; i < others / 4 + (kinds < others % 4); ++i)); do
    instances+=", {\"object\": \"$kind\", \"x\": $((i * 7 % 400)), \"y\": $((i * 5 % 200))}"
  done
  kinds=$((kinds + 1))
done
cat >"$work/bench.json" <<JSON
{
  "extensions": {"Trivu": {}},
  "objects": {"Sun": {"width": 24, "height": 24}, "Wrapper": {"width": 8, "height": 8}, "Bouncer": {"width": 8, "height": 8},
              "Fish": {"width": 16, "height": 8}, "Star": {"width": 8, "height": 8}},
  "frames": [
    {"name": "Busy", "ticks": $ticks,
     "instances": [$instances],
     "events": [
       {"if": [{"start": true}], "then": [
         {"trivu": 27, "params": ["Sun", "sun", "+0.5, false, 0, 800"]},
         {"trivu": 27, "params": ["Wrapper", "wrappers", "+3.5, false, 0, 800"]},
         {"trivu": 37, "params": ["Bouncer", "bouncers", "+4.25, false, 0, 800"]},
         {"trivu": 40, "params": ["Fish", "school", "+1.5, 40, +6, 0, 7, false, 0, 800"]},
         {"trivu": 45, "params": ["Star", "Sun", "ring", "120,80, +2.0, false,0,7,0,0,false,0,0,0"]}]},
       {"if": [{"trivu": 12}], "then": [{"log": {"concat": ["right wall at ", {"trivu": 15}, ",", {"trivu": 16}]}}]}
     ]}
  ]
}
JSON
start=$SECONDS
"$host" run "$work/bench.json" --trace --html "$work/bench.html" --svg "$work/bench.svg" >"$work/bench.trace"
echo "page-bench: $ticks ticks x $count instances: page $(wc -c <"$work/bench.html") bytes," \
  "drawing $(wc -c <"$work/bench.svg") bytes, trace $(wc -c <"$work/bench.trace") bytes, written in $((SECONDS - start)) s"
profile=$(mktemp -d)
chromium --headless --no-sandbox --user-data-dir="$profile" --disable-dev-shm-usage --disable-gpu --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --disable-quic --timeout=600000 \
  --dump-dom "file://$work/bench.html#bench" 2>/dev/null | grep -o '^<html[^>]*' >"$work/html.txt" || true
rm -rf "$profile"
echo "page-bench: $(grep -o 'data-ms-per-tick="[^"]*"' "$work/html.txt" || echo "no data-ms-per-tick: $(cat "$work/html.txt")")"
