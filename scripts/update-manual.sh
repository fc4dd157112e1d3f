#!/usr/bin/env bash
# Rewrites the manual's shown scenarios and traces from the files and from
# trivu-host, after a change that alters what a scenario prints:
#   bash scripts/update-manual.sh [BUILD]     (BUILD defaults to build)
# Every page of docs/ gets each `<!-- scenario: ... -->` block from its file
# and each `<!-- trace: ... -->` block from the run (an excerpt keeps its
# length, from the line equal to its old first line); then each picture of
# docs/pictures drawn from a scenario of examples/manual is drawn again.
# The test standin.manual.* checks the same blocks without writing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
host="$PWD/$build/trivu-host"
[ -x "$host" ] || { echo "update-manual: $host is not built (cmake --build $build --target trivu-host trivu)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for page in docs/*.md; do
  cmake -DHOST="$host" -DSOURCE="$PWD" -DPAGE="$PWD/$page" -DWORK="$work" -DUPDATE=ON \
    -P tests/standin/check_manual.cmake
done
for picture in docs/pictures/*.svg; do
  name=$(basename "$picture" .svg)
  scenario=examples/manual/$name.json
  [ -f "examples/$name.json" ] || [ ! -f "$scenario" ] || (cd "$work" && "$host" run "$OLDPWD/$scenario" --svg "$OLDPWD/$picture" >/dev/null)
done
