#!/usr/bin/env bash
# Shows the options panel with Alt+O, ticks "Case sensitive", restarts the
# program and finds the box still ticked: clicking it once more now clears it.
# Then ticks "Keep line ends" and "Keep modified date" and runs over an LF, a
# mixed and a CR LF file: each keeps its other line ends and its last-write
# time.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
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

mkdir -p "$work/files"
printf 'one\ntwo cat\n' >"$work/files/lf.txt"
printf 'a cat\r\nb\nc\r' >"$work/files/mixed.txt"
printf 'cat\r\n' >"$work/files/crlf.txt"
touch -d '2001-02-03 04:05:06' "$work/files/"*
list="$work/kept.list"
file_list "$list" lf mixed crlf
start_program
xdotool key --window "$main" alt+o
panel=$(wait_window '^ $')
xdotool mousemove --window "$panel" 14 89 click 1  # "Keep line ends"
wait_for_file_text "$settings" "KeepLineEnds=True"
xdotool mousemove --window "$panel" 14 114 click 1  # "Keep modified date"
wait_for_file_text "$settings" "KeepModifiedDate=True"
load_list "$list"
type_texts cat dog
run_and_read_results
close_program --as-left
[ "$searched/$replaced" = "3/3" ] || fail "the run searched $searched files and replaced in $replaced"
cmp -s "$work/files/lf.txt" <(printf 'one\ntwo dog\n') || fail "lf.txt holds: $(od -c "$work/files/lf.txt")"
cmp -s "$work/files/mixed.txt" <(printf 'a dog\r\nb\nc\r') || fail "mixed.txt holds: $(od -c "$work/files/mixed.txt")"
cmp -s "$work/files/crlf.txt" <(printf 'dog\r\n') || fail "crlf.txt holds: $(od -c "$work/files/crlf.txt")"
for name in lf mixed crlf; do
  [ "$(date -r "$work/files/$name.txt" +%F)" = 2001-02-03 ] || fail "$name.txt was modified $(date -r "$work/files/$name.txt")"
done
echo "line ends and modified dates kept"
