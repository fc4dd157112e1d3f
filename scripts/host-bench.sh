#!/usr/bin/env bash
# What a run of `trivu-host` costs as a game grows: one lane of sprites
# wrapping between two walls, played plain and with both pictures. Reported,
# never asserted (timings depend on the machine and its load).
#
#   bash scripts/host-bench.sh HOST [HOST...]
#
# With several hosts (say a build of another revision and this one) each
# figure is taken for each host back to back, best of three runs:
#   - a plain run, 2,000 ticks, 250 and 2,000 sprites: nanoseconds a sprite-tick;
#   - the same with --svg and --html, 120 and 520 sprites: what the pictures
#     add, in nanoseconds an instance-tick;
#   - 520 sprites over 10,000 ticks with both pictures: seconds and peak memory
#     (/usr/bin/time -v), and the sizes of the files.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: host-bench.sh HOST [HOST...]" >&2; exit 2; }
hosts=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

lane() {  # SPRITES TICKS > scenario
  local count=$1 ticks=$2 instances="" i
  for ((i = 0; i < count; ++i)); do
    instances+="${instances:+, }{\"object\": \"Ball\", \"x\": $((i * 13 % 800)), \"y\": 100}"
  done
  cat <<JSON
{"extensions": {"Trivu": {}},
 "objects": {"Ball": {"width": 8, "height": 8}},
 "frames": [{"name": "Lane", "ticks": $ticks, "instances": [$instances],
   "events": [{"if": [{"start": true}], "then": [{"trivu": 27, "params": ["Ball", "lane", "+3.5, false, 0, 800"]}]}]}]}
JSON
}

seconds() {  # COMMAND... : the best wall time of three runs, in seconds
  local best="" start end t
  for _ in 1 2 3; do
    start=$EPOCHREALTIME
    "$@" >/dev/null
    end=$EPOCHREALTIME
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}

per() {  # SECONDS UNITS : nanoseconds a unit
  awk -v s="$1" -v n="$2" 'BEGIN { printf "%.0f", s * 1e9 / n }'
}

ticks=2000
echo "host-bench: one wrap lane, $ticks ticks"
for count in 250 2000; do
  lane $count $ticks >"$work/lane$count.json"
  for host in "${hosts[@]}"; do
    s=$(seconds "$host" run "$work/lane$count.json")
    echo "  run, $count sprites: $(per "$s" $((count * ticks))) ns a sprite-tick ($s s)  [$host]"
  done
done
for count in 120 520; do
  lane $count $ticks >"$work/lane$count.json"
  for host in "${hosts[@]}"; do
    plain=$(seconds "$host" run "$work/lane$count.json")
    drawn=$(seconds "$host" run "$work/lane$count.json" --svg "$work/out.svg" --html "$work/out.html")
    added=$(awk -v a="$drawn" -v b="$plain" 'BEGIN { printf "%.4f", a - b }')
    echo "  --svg and --html, $count sprites: $(per "$added" $((count * ticks))) ns an instance-tick" \
      "($drawn s against $plain s)  [$host]"
  done
done
count=520 ticks=10000
lane $count $ticks >"$work/long.json"
echo "host-bench: $count sprites x $ticks ticks with --svg and --html"
for host in "${hosts[@]}"; do
  /usr/bin/time -v "$host" run "$work/long.json" --svg "$work/long.svg" --html "$work/long.html" \
    >/dev/null 2>"$work/time.txt"
  elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  echo "  $elapsed (m:ss), peak $((peak / 1024)) MB; drawing $(($(wc -c <"$work/long.svg") / 1024)) KB," \
    "page $(($(wc -c <"$work/long.html") / 1024)) KB  [$host]"
done
