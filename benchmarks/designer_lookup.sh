#!/bin/sh
# What a designer sees: trivu-host plays a game that loads an object of N
# members and looks up its last member on each of 10,000 ticks, for N = 1,000
# and 200,000. Usage: benchmarks/designer_lookup.sh BUILD_DIR [WORK_DIR]
set -e
build=$(realpath "$1")
work=${2:-$(mktemp -d)}
mkdir -p "$work"
cd "$work"
for members in 1000 200000; do
    awk -v n="$members" 'BEGIN { printf "{"; for (i = 0; i < n; ++i) printf "%s\"word%d\":%d", (i ? "," : ""), i, i; print "}" }' \
        > "words$members.json"
    last="/word$((members - 1))"
    cat > "lookup$members.json" <<SCENARIO
{"extensions": {"Trivu": {}},
 "frames": [{"name": "Words", "ticks": 10000, "events": [
  {"if": [{"start": true}], "then": [{"trivu": 2, "params": ["words$members.json"]}]},
  {"if": [{"every": 1}], "then": [{"trivu": 5, "params": ["$last", 0]}]},
  {"if": [{"tick": 9999}], "then": [{"log": {"trivu": 1, "params": ["$last"]}}]}]}]}
SCENARIO
    sed 's/"ticks": 10000/"ticks": 1/; s/"tick": 9999/"tick": 0/' "lookup$members.json" > "load$members.json"
    for scenario in "load$members" "lookup$members"; do
        start=$(date +%s%N)
        "$build/trivu-host" --extension "$build/trivu.mfx" run "$scenario.json" > "$scenario.out"
        eval "$scenario=\$(( $(date +%s%N) - start ))"
    done
    eval "load=\$load$members lookup=\$lookup$members"
    echo "$members members: load and one tick $((load / 1000000)) ms, 10,000 ticks $((lookup / 1000000)) ms," \
         "$(( (lookup - load) / 9999 )) ns a tick ($(tail -1 "lookup$members.out"))"
done
