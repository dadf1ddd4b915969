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
load_list "$list"
type_texts alpha beta
stop_once_a_file_changed() {
  wait_for_file_text "$work/varnex.log" " found in "
  xdotool mousemove --window "$main" "$button_x" "$button_y" click 1  # STOP
}
run_and_read_results stop_once_a_file_changed
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
