#!/usr/bin/env bash
# Plays scenarios with `trivu-host run --trace --html` and opens the page in
# headless Chromium at a few ticks (FILE#frame=K&tick=N); the DOM it dumps
# must show each instance where the trace's dump of that tick puts it, the
# orbit centres where they are, exactly the tick's trace lines, and the view:
# the instances out of it (and only those) as marks at its edge, each mark's
# circle on the edge the instance lies beyond and level with it, a zoom as
# the fitted view made smaller about its middle. Also: the
# page loads nothing from outside, two runs write the same bytes, and the
# trace is the same with and without --html.
#
#   check_pages.sh HOST BROWSER CASES_DIR WORK_DIR
set -euo pipefail
host=$1 browser=$2 cases=$3 work=$4
mkdir -p "$work"

# scenario | frame:tick to open (tick as asked; shown = clamped) | shown tick | centres expected | out of view
# (check_page_steps.py walks on from such ticks in one page.)
# A centre is NAME+DX+DY (where NAME's dump puts it, moved) or X,Y. Out of
# view: the instances shown as marks at the edge, in the order drawn.
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
  "far|#tick=20|20||"
  "far|#tick=37|37||Rock#4"
  "far|#tick=37&zoom=2|37||Ball#0 Ball#2 Ball#3 Rock#4"
  "farrun|#tick=30|30||Comet#5"
  "farrun|#tick=40|40||"
  "wide|#tick=30|30||"
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

view_of() {  # DOM > "X Y WIDTH HEIGHT"
  grep -o '^<svg id="stage"[^>]* data-view="[^"]*"' "$1" | sed 's/.*data-view="//; s/"$//'
}

# The circle of an instance's mark lies in the view, near the edge the
# instance lies beyond (within 3% of the view's larger side) on an axis where
# it is out, level with its middle on an axis where it is not (as near as
# the edge lets it be, when its middle is that near the edge).
edge_mark_placed() {  # DOM VIEW NAME X Y W H
  local circle
  circle=$(grep -A1 "^<g data-far=\"$3\"" "$1" | sed -n 's/^<circle cx="\([^"]*\)" cy="\([^"]*\)".*/\1 \2/p')
  [ -n "$circle" ] || return 1
  awk -v v="$2" -v c="$circle" -v x="$4" -v y="$5" -v w="$6" -v h="$7" 'BEGIN {
    split(v, b, " "); split(c, m, " "); tol = 0.03 * (b[3] > b[4] ? b[3] : b[4])
    exit !(on(m[1], x + w / 2, b[1], b[1] + b[3]) && on(m[2], y + h / 2, b[2], b[2] + b[4])) }
    function on(at, middle, low, high) {
      if (middle < low) return at > low && at - low <= tol
      if (middle > high) return at < high && high - at <= tol
      if (middle >= low + tol && middle <= high - tol) return at - middle < 0.01 && middle - at < 0.01
      return at > low && at < high && at - middle <= tol && middle - at <= tol }'
}

check_tick() {  # NAME FRAGMENT SHOWN CENTRES OFF
  local name=$1 fragment=$2 shown=$3 centres=$4 expected_off=$5
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

  # The view: data-view is the viewBox; an instance out of it is a mark at
  # the edge with its place, and no other is.
  local view off="" far
  view=$(view_of "$dom")
  [[ $view =~ ^-?[0-9.]+\ -?[0-9.]+\ [0-9.]+\ [0-9.]+$ ]] || fail "$what: data-view is '$view'"
  grep -q "^<svg id=\"stage\"[^>]* viewBox=\"$view\"" "$dom" || fail "$what: the viewBox is not $view"
  while read -r instance x y w h; do
    if ! awk -v v="$view" -v x="$x" -v y="$y" -v w="$w" -v h="$h" \
      'BEGIN { split(v, b, " "); exit !(x + w >= b[1] && x <= b[1] + b[3] && y + h >= b[2] && y <= b[2] + b[4]) }'; then
      off+=" $instance"
      grep -q "^<g data-far=\"$instance\" data-x=\"$x\" data-y=\"$y\"" "$dom" || fail "$what: no mark of $instance at the edge"
      grep -qF "$instance ($x, $y)" "$dom" || fail "$what: the mark of $instance does not say ($x, $y)"
      edge_mark_placed "$dom" "$view" "$instance" "$x" "$y" "$w" "$h" || fail "$what: the mark of $instance is not on its edge"
    fi
  done < <(sed -n 's/^<rect data-instance="\([^"]*\)" data-x="\([^"]*\)" data-y="\([^"]*\)"[^>]* width="\([^"]*\)" height="\([^"]*\)".*/\1 \2 \3 \4 \5/p' "$dom")
  [ "${off# }" = "$expected_off" ] || fail "$what: out of view: '${off# }', expected '$expected_off'"
  far=$(grep -c '^<g data-far=' "$dom" || true)
  [ "$far" = "$(wc -w <<<"$off")" ] || fail "$what: $far marks at the edge for '${off# }'"

  # A zoom by F: the view of the same tick unzoomed, F times smaller, about its middle.
  if [[ $fragment =~ (.*)\&zoom=([0-9.]+)$ ]]; then
    local factor=${BASH_REMATCH[2]} fitted
    fitted=$(view_of <(open_page "$page" "${BASH_REMATCH[1]}" | tr '\n' '\r' | sed 's/</\n</g'))
    awk -v a="$fitted" -v b="$view" -v f="$factor" 'BEGIN { split(a, p, " "); split(b, q, " ");
      d = 0.02; exit !(q[3] * f - p[3] < d && p[3] - q[3] * f < d && q[4] * f - p[4] < d && p[4] - q[4] * f < d &&
        (q[1] + q[3] / 2) - (p[1] + p[3] / 2) < d && (p[1] + p[3] / 2) - (q[1] + q[3] / 2) < d &&
        (q[2] + q[4] / 2) - (p[2] + p[4] / 2) < d && (p[2] + p[4] / 2) - (q[2] + q[4] / 2) < d) }' ||
      fail "$what: the view $view is not $fitted zoomed by $factor"
  fi

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
  IFS='|' read -r name fragment shown centres off <<<"$check"
  check_tick "$name" "$fragment" "$shown" "$centres" "$off"
done

if [ "$failures" -gt 0 ]; then
  echo "check_pages: $failures failures" >&2
  exit 1
fi
echo "check_pages: ${#checks[@]} ticks opened, all as the trace says"
