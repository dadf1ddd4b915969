#!/usr/bin/env bash
# A run over a few hundred files in several shapes, the program closed and
# started again, then "Undo Last Run..." from the file list's menu: every file
# is back byte for byte, the log names each one, and the store is gone. Both
# times Alt+F4 closes the program as soon as the last box has gone.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
count=300
mkdir -p "$work/files"
list="$work/all.list"
for i in $(seq -f '%03g' 1 "$count"); do
  file="$work/files/f$i.txt"
  case $((10#$i % 4)) in
    0) printf 'alpha %s\r\nsecond alpha line\r\n' "$i" >"$file" ;;
    1) printf 'unix alpha %s\nno end alpha' "$i" >"$file" ;;
    2) printf '\xEF\xBB\xBFcaf\xC3\xA9 alpha %s\r\n' "$i" >"$file" ;;
    3) printf 'a\xFF\xFEb alpha %s\r\n\r\n' "$i" >"$file" ;;
  esac
  printf '%s\r\n' "Z:${work//\//\\}\\files\\f$i.txt"
done >"$list"
cp -a "$work/files" "$work/before"

start_program
load_list "$list"
type_texts alpha omega
run_and_read_results
close_program --as-left
[ "$replaced" = "$count" ] || fail "$replaced of $count files replaced"
changed=$({ grep -L alpha "$work"/files/*.txt || true; } | wc -l)
[ "$changed" = "$count" ] || fail "$changed of $count files changed"
compgen -G "$work/undo/s*/journal.txt" >/dev/null || fail "no undo store beside the program"

start_program
undo_last_run "$texts" "$count"
close_program --as-left
tail -n 1 "$work/varnex.log" | grep -q ' - Application Closed'$'\r''$' || fail "the log does not end with the close line"

diff -r "$work/before" "$work/files" >/dev/null || fail "files differ from before the run: $(diff -rq "$work/before" "$work/files" | head -3)"
restored=$(grep -c ' restored as it was before the run of ' "$work/varnex.log")
[ "$restored" = "$count" ] || fail "$restored restored lines in the log, not $count"
[ ! -e "$work/undo" ] || fail "the undo store is still there: $(ls -R "$work/undo")"
echo "$count files changed, then all of them restored byte for byte after a restart"
