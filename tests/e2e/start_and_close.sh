#!/usr/bin/env bash
# Starts the real program, checks its window, closes it with Alt+F4 and reads
# the activity log it left beside itself.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
start_program

# Without a window manager the X window is the client area with the menu bar,
# both scaled to the display (see at_scale.sh).
dpi=${VARNEX_E2E_DPI:-96}
scaled() { echo $((($1 * dpi + 48) / 96)); }
client_width=$(scaled 273) client_height=$(scaled 353)
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/^ *Geometry: //p')
width=${geometry%x*} height=${geometry#*x}
[ "$width" = "$client_width" ] && [ "$height" -gt "$client_height" ] &&
  [ "$height" -le $((client_height + $(scaled 40))) ] ||
  fail "window is $geometry: not a $client_width x $client_height client area under a menu bar"
[ "$(grep -c ' - Application Started'$'\r''$' "$work/varnex.log")" = 1 ] || fail "no start line in the log"

close_program
[ "$(log_lines)" = 2 ] || fail "the log holds $(log_lines) lines, not 2"
tail -n 1 "$work/varnex.log" | grep -q ' - Application Closed'$'\r''$' || fail "no close line at the end of the log"
echo "started, showed $geometry, closed; log: $(tr -d '\r' <"$work/varnex.log" | tr '\n' '|')"
