#!/usr/bin/env bash
# Starts the real program under Wine, checks its window, closes it with Alt+F4
# and reads the activity log it left beside itself.
set -euo pipefail
exe=$1
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cp "$exe" "$work/varnex.exe"
wine "$work/varnex.exe" >/dev/null 2>&1 &
pid=$!

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Varnex 2\.01$' | head -n 1)
[ -n "$window" ] || fail "the main window did not appear"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
[ "$geometry" = "273x343" ] || fail "client area is $geometry, not 273x343"
log="$work/varnex.log"
[ "$(grep -c ' - Application Started'$'\r''$' "$log")" = 1 ] || fail "no start line in the log"

xdotool key --window "$window" alt+F4
for _ in $(seq 600); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Alt+F4"
wait "$pid" || fail "the program ended with an error"
pid=

lines=$(tr -cd '\n' <"$log" | wc -c)
[ "$lines" = 2 ] || fail "the log holds $lines lines, not 2"
tail -n 1 "$log" | grep -q ' - Application Closed'$'\r''$' || fail "no close line at the end of the log"
echo "started, showed 273x343, closed; log: $(tr -d '\r' <"$log" | tr '\n' '|')"
