#!/usr/bin/env bash
# "Preview Replace All..." from the file list's menu over a few files: its
# summary counts what would change while nothing is written, and "Replace All
# Now" in it asks the run's question and runs over the same list, whose
# results agree with the preview.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
mkdir -p "$work/files"
printf 'one cat\r\ntwo cat\r\n' >"$work/files/a.txt"
printf 'no match\r\n' >"$work/files/b.txt"
printf '\xEF\xBB\xBFthe cat\nand more\n' >"$work/files/c.txt"
list="$work/all.list"
file_list "$list" a b c
cp -a "$work/files" "$work/before"

start_program
load_list "$list"
type_texts cat dog
click_for_menu "$main" 60 60 3
xdotool key v  # "Pre&view Replace All..."
summary=$(preview_summary)
[ "$summary" = "2 of 3 files would change, 3 occurrences in all, 0 files would fail." ] ||
  fail "the preview says: $summary"
diff -r "$work/before" "$work/files" >/dev/null || fail "the preview changed files"
[ ! -e "$work/undo" ] || fail "the preview made an undo store"

xdotool key alt+n  # "Replace All Now"
answer_and_read_results
close_program --as-left
[ "$searched/$replaced" = "3/2" ] || fail "the run searched $searched files and replaced in $replaced"
grep -q 'dog' "$work/files/a.txt" && ! grep -q 'cat' "$work/files/a.txt" || fail "a.txt holds: $(cat "$work/files/a.txt")"
echo "previewed: $summary; the run then searched $searched files and changed $replaced"
