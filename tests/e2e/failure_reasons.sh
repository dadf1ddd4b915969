#!/usr/bin/env bash
# A run over a list naming a missing, a held, a read-only and a binary file,
# and one that changes: the first failure's box gives its reason on a second
# line and offers to do the same for every file of the run; ticked (its
# access key) and closed (Enter), it is the only box. The results name the
# three failed files with their reasons and the binary one, counted apart, as
# skipped; the log names the four after the run's lines, the read-only file's
# failure after its "replaced" line.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
hold_file=$3
data="$work/data"
mkdir -p "$data"
for name in good held read-only; do printf 'alpha\r\n' >"$data/$name.txt"; done
printf 'alpha\0\r\n' >"$data/binary.txt"
chmod a-w "$data/read-only.txt"  # Wine gives it the read-only attribute
for name in missing held read-only binary good; do printf '%s\r\n' "$(windows_path "$data/$name.txt")"; done >"$work/five.list"

wine "$hold_file" "$(windows_path "$data/held.txt")" >"$work/holding" &
holder=$!
wait_for_file_text "$work/holding" held

start_program
load_list "$work/five.list"
type_texts alpha omega
xdotool mousemove --window "$main" "$button_x" "$button_y" click 1
wait_window '^Confirmation$' >/dev/null
xdotool key Return  # Yes
wait_window '^Varnex$' >/dev/null
box=$(wine "$texts" 'Varnex' | tr -d '\r')
grep -qF "Cannot open file $(windows_path "$data/missing.txt")." <<<"$box" || fail "the first box said: $box"
grep -qxF "The file or its folder does not exist." <<<"$box" || fail "the first box gave no reason: $box"
grep -qF "&Do the same for every file of this run" <<<"$box" || fail "the first box offered nothing: $box"
xdotool key alt+d Return  # ticked, then OK
results=$(wait_window '^Results\.\.\.$')
xdotool search --onlyvisible --name '^Varnex$' >/dev/null && fail "a second failure box came up"
shown=$(wine "$texts" 'Results...' | tr -d '\r')
xdotool key --window "$results" Escape
wait_window_gone '^Results\.\.\.$'
close_program --as-left
kill "$holder"

expected=(
  "$(windows_path "$data/missing.txt"). The file or its folder does not exist."
  "$(windows_path "$data/held.txt"). Another program holds the file open."
  "$(windows_path "$data/read-only.txt"). The file is read-only."
)
grep -qxF "102 3 files could not be processed." <<<"$shown" || fail "the results said: $shown"
grep -qF "1 binary file was skipped." <<<"$shown" || fail "the results did not count the binary file: $shown"
log=$(tr -d '\r' <"$work/varnex.log")
skipped="Skipped $(windows_path "$data/binary.txt"). The file holds binary data, not text."
grep -qF "$skipped" <<<"$shown" || fail "the results do not name the binary file: $shown"
grep -qF " - $skipped" <<<"$log" || fail "the log does not name the binary file: $log"
for line in "${expected[@]}"; do
  grep -qF "Cannot open file $line" <<<"$shown" || fail "the results do not name: $line"
  grep -qF " - Cannot open file $line" <<<"$log" || fail "the log does not name: $line"
done
replaced=$(grep -nF "found in $(windows_path "$data/read-only.txt")" <<<"$log" | cut -d: -f1)
failed=$(grep -nF "Cannot open file $(windows_path "$data/read-only.txt")" <<<"$log" | cut -d: -f1)
[ -n "$replaced" ] && [ -n "$failed" ] && [ "$failed" -gt "$replaced" ] ||
  fail "the read-only file's failure is not after its replaced line: $log"
[ "$(tr -d '\r' <"$data/good.txt")" = omega ] || fail "good.txt holds $(cat "$data/good.txt")"
echo "one box for three failures and a binary file skipped; the results and the log name all four with their reasons"
