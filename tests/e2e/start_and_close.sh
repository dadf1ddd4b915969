#!/usr/bin/env bash
# Starts the real program, checks its window, closes it with Alt+F4 and reads
# the activity log it left beside itself.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
start_program

# Without a window manager the X window is the client area with the menu bar.
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/^ *Geometry: //p')
width=${geometry%x*} height=${geometry#*x}
[ "$width" = 273 ] && [ "$height" -gt 343 ] && [ "$height" -le 383 ] ||
  fail "window is $geometry: not a 273 x 343 client area under a menu bar"
[ "$(grep -c ' - Application Started'$'\r''$' "$work/varnex.log")" = 1 ] || fail "no start line in the log"

close_program
[ "$(log_lines)" = 2 ] || fail "the log holds $(log_lines) lines, not 2"
tail -n 1 "$work/varnex.log" | grep -q ' - Application Closed'$'\r''$' || fail "no close line at the end of the log"
echo "started, showed $geometry, closed; log: $(tr -d '\r' <"$work/varnex.log" | tr '\n' '|')"
