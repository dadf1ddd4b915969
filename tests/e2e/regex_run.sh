#!/usr/bin/env bash
# A user turns "Regular expression" on, types a date pattern and `$3.$2.$1`,
# previews, runs and undoes: the preview writes nothing and counts what the run
# then changes; each file is byte for byte as meant after the run (line ends
# as they were where nothing matched on a line, an ANSI and a UTF-8 file) and
# as before after the undo.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
settings="$work/settings.ini"
mkdir -p "$work/files"
printf 'due 2024-05-17\r\nand 2023-01-02 too\r\n' >"$work/files/crlf.txt"
printf '\xEF\xBB\xBFcaf\xC3\xA9 1999-12-31\r\nno date\r\n' >"$work/files/utf8.txt"
printf 'version 12-34-56\r\n' >"$work/files/none.txt"
list="$work/all.list"
file_list "$list" crlf utf8 none
cp -a "$work/files" "$work/before"

start_program
load_list "$list"
xdotool key alt+o
wait_window '^ $' >/dev/null  # the panel
xdotool key alt+x  # "Regular e&xpression"
wait_for_file_text "$settings" "RegularExpression=True"
xdotool key Escape
wait_window_gone '^ $'
type_texts '(\d{4})-(\d{2})-(\d{2})' '$3.$2.$1'

menu_opened_by xdotool key alt+r
xdotool key p  # "&Preview Replace All..."
summary=$(preview_summary)
[ "$summary" = "2 of 3 files would change, 3 occurrences in all, 0 files would fail." ] ||
  fail "the preview says: $summary"
diff -r "$work/before" "$work/files" >/dev/null || fail "the preview changed files"

xdotool key alt+n  # "Replace All Now"
answer_and_read_results
[ "$searched/$replaced" = "3/2" ] || fail "the run searched $searched files and replaced in $replaced"
cmp -s "$work/files/crlf.txt" <(printf 'due 17.05.2024\r\nand 02.01.2023 too\r\n') ||
  fail "crlf.txt holds: $(od -c "$work/files/crlf.txt" | head -3)"
cmp -s "$work/files/utf8.txt" <(printf '\xEF\xBB\xBFcaf\xC3\xA9 31.12.1999\r\nno date\r\n') ||
  fail "utf8.txt holds: $(od -c "$work/files/utf8.txt" | head -3)"
cmp -s "$work/files/none.txt" "$work/before/none.txt" || fail "none.txt changed"

undo_last_run "$texts" 2
diff -r "$work/before" "$work/files" >/dev/null ||
  fail "after the undo: $(diff -rq "$work/before" "$work/files" | head -3)"
close_program --as-left
echo "previewed: $summary; the run changed $replaced files and the undo gave them back"
