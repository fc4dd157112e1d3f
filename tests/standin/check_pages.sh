#!/usr/bin/env bash
# Plays scenarios with `trivu-host run --trace --html` and opens the page in
# headless Chromium at a few ticks (FILE#frame=K&tick=N); the DOM it dumps
# must show each instance where the trace's dump of that tick puts it, the
# orbit centres where they are, and exactly the tick's trace lines. Also: the
# page loads nothing from outside, two runs write the same bytes, and the
# trace is the same with and without --html.
#
#   check_pages.sh HOST BROWSER CASES_DIR WORK_DIR
set -euo pipefail
host=$1 browser=$2 cases=$3 work=$4
mkdir -p "$work"

# scenario | frame:tick to open (tick as asked; shown = clamped) | shown tick | centres expected
# (check_page_steps.py walks on from such ticks in one page.)
# A centre is NAME+DX+DY (where NAME's dump puts it, moved) or X,Y.
checks=(
  "wrap|#tick=0|0|"
  "wrap|#frame=0&tick=39|39|"
  "wave|#frame=0&tick=0|0|"
  "wave|#frame=0&tick=50|50|"
  "wave|#frame=0&tick=119|119|"
  "orbit|#frame=0&tick=1|1|Sun#0+5+3"
  "orbit|#frame=0&tick=30|30|Sun#0+5+3"
  "orbit|#frame=0&tick=60|60|Moon#1+5+3"
  "orbit|#frame=0&tick=80|80|305,153"
  "reject|#frame=0&tick=12|12|"
  "frames|#frame=0&tick=5|5|"
  "frames|#frame=1&tick=0|0|"
  "frames|#frame=1&tick=999|24|"
)

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Text as the DOM dump writes it, back to the trace's bytes.
unescape() { sed -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&quot;/"/g' -e 's/&nbsp;/ /g' -e 's/&amp;/\&/g'; }

open_page() {  # FILE FRAGMENT > DOM
  local profile
  profile=$(mktemp -d)
  "$browser" --headless --no-sandbox --user-data-dir="$profile" --disable-dev-shm-usage --disable-gpu \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync --disable-quic \
    --dump-dom "file://$1$2" 2>/dev/null
  rm -rf "$profile"
}

# A page is one file: nothing in it may reach outside.
scan() {  # PAGE
  local pattern
  for pattern in 'http:' 'https:' 'url(' '@import' '<link' 'fetch(' 'XMLHttpRequest' 'WebSocket' 'EventSource' \
    'sendBeacon'; do
    if grep -qiF -- "$pattern" "$1"; then fail "$1 contains $pattern"; fi
  done
  if grep -qiE "(src|href)[[:space:]]*=[[:space:]]*[\"']?//" "$1"; then fail "$1 has a src or href starting //"; fi
}

check_tick() {  # NAME FRAGMENT SHOWN CENTRES
  local name=$1 fragment=$2 shown=$3 centres=$4
  local page=$work/$name.html trace=$work/$name.trace dom=$work/$name.dom
  local frame=0
  [[ $fragment =~ frame=([0-9]+) ]] && frame=${BASH_REMATCH[1]}
  open_page "$page" "$fragment" | tr '\n' '\r' | sed 's/</\n</g' >"$dom"
  local what="$name$fragment"
  grep -q '^<html[^>]* data-ready="1"' "$dom" || fail "$what: data-ready is not set"
  local problem
  for problem in data-script-error data-blocked; do
    if grep -q "^<html[^>]* $problem=" "$dom"; then fail "$what: $(grep -o "^<html[^>]*" "$dom")"; fi
  done
  grep -q "^<html[^>]* data-frame=\"$frame\" data-tick=\"$shown\"" "$dom" || fail "$what: not shown as frame $frame tick $shown"

  # Every instance where the trace's dump of the tick puts it, and no other.
  local stamp="$frame:$shown" dumps=0 line
  while read -r _ _ instance x y _ _ _ destroyed; do
    dumps=$((dumps + 1))
    grep -q "^<rect data-instance=\"$instance\" data-x=\"${x#x=}\" data-y=\"${y#y=}\"" "$dom" ||
      fail "$what: $instance is not at ${x#x=},${y#y=}"
    if [ "$destroyed" = destroyed ]; then
      grep -q "^<rect data-instance=\"$instance\"[^>]* data-destroyed" "$dom" || fail "$what: $instance is not marked destroyed"
    fi
  done < <(grep "^$stamp dump " "$trace")
  local rects
  rects=$(grep -c '^<rect data-instance=' "$dom" || true)
  [ "$rects" = "$dumps" ] || fail "$what: $rects instances drawn, $dumps dumped"

  # The centres.
  local centre cx cy
  for centre in $centres; do
    if [[ $centre =~ ^([^+]+)\+(-?[0-9]+)\+(-?[0-9]+)$ ]]; then
      line=$(grep "^$stamp dump ${BASH_REMATCH[1]} " "$trace")
      [[ $line =~ x=(-?[0-9]+)\ y=(-?[0-9]+) ]] || { fail "$what: no dump of ${BASH_REMATCH[1]}"; continue; }
      cx=$((BASH_REMATCH[1] + $(cut -d+ -f2 <<<"$centre")))
      cy=$((BASH_REMATCH[2] + $(cut -d+ -f3 <<<"$centre")))
    else
      cx=${centre%,*} cy=${centre#*,}
    fi
    grep -q "^<path data-centre=\"\" data-x=\"$cx\" data-y=\"$cy\"" "$dom" || fail "$what: no centre at $cx,$cy"
  done

  # Wall events of the tick are marked.
  local condition side
  for condition in 11:left 12:right; do
    side=${condition#*:}
    if grep -q "^$stamp log \"$side wall at" "$trace" && ! grep -q "data-event=\"${condition%:*}\" data-age=\"0\"" "$dom"; then
      fail "$what: no $side wall mark"
    fi
  done

  # The panel: exactly the trace lines of the tick, in order.
  diff <(grep "^$stamp " "$trace") <(grep -o '^<div data-line=""[^>]*>.*' "$dom" | sed 's/^<div[^>]*>//' | tr -d '\r' | unescape) \
    >/dev/null || fail "$what: the panel does not hold the trace lines of $stamp"
}

for scenario in "$cases"/*.json; do
  name=$(basename "$scenario" .json)
  "$host" run "$scenario" --trace --html "$work/$name.html" >"$work/$name.trace"
  "$host" run "$scenario" --trace --html "$work/$name.again.html" >"$work/$name.again.trace"
  "$host" run "$scenario" --trace >"$work/$name.plain.trace"
  cmp -s "$work/$name.html" "$work/$name.again.html" || fail "$name: two runs wrote different pages"
  cmp -s "$work/$name.trace" "$work/$name.plain.trace" || fail "$name: the trace differs with --html"
  scan "$work/$name.html"
done

for check in "${checks[@]}"; do
  IFS='|' read -r name fragment shown centres <<<"$check"
  check_tick "$name" "$fragment" "$shown" "$centres"
done

if [ "$failures" -gt 0 ]; then
  echo "check_pages: $failures failures" >&2
  exit 1
fi
echo "check_pages: ${#checks[@]} ticks opened, all as the trace says"
