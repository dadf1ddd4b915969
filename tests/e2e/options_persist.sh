#!/usr/bin/env bash
# Shows the options panel with Alt+O, ticks "Case sensitive", restarts the
# program and finds the box still ticked: clicking it once more now clears it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
settings="$work/settings.ini"

start_program
[ -e "$settings" ] && fail "settings.ini exists before any choice was made"
xdotool key --window "$main" alt+o
panel=$(wait_window '^ $')
xdotool mousemove --window "$panel" 14 16 click 1  # "Case sensitive"
wait_for_file_text "$settings" "CS=True"
close_program

start_program
xdotool key --window "$main" alt+o
panel=$(wait_window '^ $')
xdotool mousemove --window "$panel" 14 16 click 1
wait_for_file_text "$settings" "CS=False"
close_program

grep -q '^\[Options\]' "$settings" || fail "no [Options] section in settings.ini"
[ "$(log_lines)" = 4 ] || fail "the log holds $(log_lines) lines, not 4"
[ "$(grep -c ' - Application Started'$'\r''$' "$work/varnex.log")" = 2 ] || fail "not two start lines"
[ "$(grep -c ' - Application Closed'$'\r''$' "$work/varnex.log")" = 2 ] || fail "not two close lines"
echo "ticked, restarted, found ticked; settings: $(tr -d '\r' <"$settings" | tr '\n' '|')"
