#!/usr/bin/env bash
# Regenerates docs/reference.md from the catalogue: everything above the line
# "## Notes" becomes the output of `trivu-host catalogue` and a blank line;
# that line and everything after it, the hand-written notes, are kept byte
# for byte. Build the host first (build/trivu-host, with build/trivu.mfx).
#
#   bash scripts/update-reference.sh
#   TRIVU_HOST=other/trivu-host REFERENCE=copy.md bash scripts/update-reference.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
host=${TRIVU_HOST:-$root/build/trivu-host}
reference=${REFERENCE:-$root/docs/reference.md}

notes=$(grep -n -m1 -x '## Notes' "$reference" | cut -d: -f1 || true)
if [ -z "$notes" ]; then
  echo "update-reference: $reference has no line '## Notes'; nothing changed" >&2
  exit 1
fi
if [ ! -x "$host" ]; then
  echo "update-reference: no $host: build it first (cmake --build build --target trivu-host trivu)" >&2
  exit 1
fi

# Written beside the reference and renamed over it: a catalogue that fails
# leaves the reference as it was.
new=$(mktemp "$reference.XXXXXX")
trap 'rm -f "$new"' EXIT
"$host" catalogue >"$new"
echo >>"$new"
tail -n "+$notes" "$reference" >>"$new"
chmod --reference="$reference" "$new"
mv "$new" "$reference"
