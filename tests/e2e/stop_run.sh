#!/usr/bin/env bash
# Loads a list of 4,000 files, types the texts into the memos, starts the run
# and stops it with the run button (now "STOP") as soon as the first file has
# changed. The results dialog then counts fewer files than listed, exactly the
# files before the stop are changed and every file after it is as it was.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
count=4000
mkdir -p "$work/files"
list="$work/all.list"
for i in $(seq -f '%04g' 1 "$count"); do
  printf 'alpha\r\n' >"$work/files/f$i.txt"
  printf '%s\r\n' "Z:${work//\//\\}\\files\\f$i.txt"
done >"$list"

start_program
click_for_menu "$main" 60 60 3  # the list's context menu: "Load filename list..."
xdotool key Down Return
wait_window '^Open$' >/dev/null
xdotool type --delay 20 "Z:${list//\//\\}"
xdotool key Return
for _ in $(seq 300); do xdotool search --onlyvisible --name '^Open$' >/dev/null || break; sleep 0.1; done

# The memos, below the menu bar; typing goes to the window under the pointer.
xdotool mousemove --window "$main" 120 $((202 + 19 + 20)) click 1
xdotool type --delay 40 'alpha'
xdotool mousemove --window "$main" 120 $((256 + 19 + 20)) click 1
xdotool type --delay 40 'beta'
button_x=127 button_y=$((310 + 19 + 12))
xdotool mousemove --window "$main" "$button_x" "$button_y" click 1
wait_window '^Confirmation$' >/dev/null
xdotool key Return  # Yes
wait_for_file_text "$work/varnex.log" " found in "
xdotool mousemove --window "$main" "$button_x" "$button_y" click 1  # STOP
results=$(wait_window '^Results\.\.\.$')
shown=$(wine "$texts" 'Results...')
searched=$(awk '$1 == 104 {print $2}' <<<"$shown" | tr -d '\r')
replaced=$(awk '$1 == 106 {print $2}' <<<"$shown" | tr -d '\r')
xdotool key --window "$results" Return
for _ in $(seq 300); do xdotool search --onlyvisible --name '^Results\.\.\.$' >/dev/null || break; sleep 0.1; done
close_program

[ -n "$searched" ] && [ "$searched" -gt 0 ] && [ "$searched" -lt "$count" ] ||
  fail "the results count $searched files searched of $count"
[ "$replaced" = "$searched" ] || fail "$searched files searched but $replaced replaced"
changed=$(grep -l beta "$work"/files/*.txt | wc -l)
[ "$changed" = "$searched" ] || fail "$changed files changed, $searched counted"
last_changed=$(grep -l beta "$work"/files/*.txt | tail -n 1)
[ "$last_changed" = "$work/files/f$(printf '%04d' "$searched").txt" ] || fail "the changed files are not the first $searched"
untouched=$(grep -lx $'alpha\r' "$work"/files/*.txt | wc -l)
[ "$untouched" = $((count - searched)) ] || fail "$untouched files after the stop as they were, not $((count - searched))"
echo "stopped after $searched of $count files; the rest as they were"
