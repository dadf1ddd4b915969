#!/usr/bin/env bash
# Files named in Cyrillic, Japanese and with an emoji, and one at the end of a
# path of more than 300 characters: Add Directory lists them all, the list is
# saved and holds every name whole, a run replaces in each, the log names
# them, and Undo Last Run gives every one of them back.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
data="$work/data"
deep="$data/$(printf 'folder-%02d-of-a-path-longer-than-windows-plain-form/' $(seq 6))"
deep=${deep%/}
mkdir -p "$deep"
names=("Отчёт.txt" "日本語.txt" "smile😀.txt")
for name in "${names[@]}"; do printf 'alpha in %s\r\n' "$name" >"$data/$name"; done
printf 'alpha far below\r\n' >"$deep/long.txt"
windows() { local path="Z:${1//\//\\}"; echo "${path%\\}"; }
[ "$(windows "$deep/long.txt" | wc -m)" -gt 300 ] || fail "the long path is not long"
saved="$work/saved.list"

cd "$work"  # the folder list starts in the process's current directory
start_program
add_directory '*.txt'

click_for_menu "$main" 60 60 3  # the list's context menu
xdotool key s  # "Save filename list as..."
wait_window '^Save As$' >/dev/null
xdotool type --delay 20 "$(windows "$saved")"
xdotool key Return
wait_for_file_text "$saved" "long.txt"
[ "$(head -c 3 "$saved" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the saved list has no UTF-8 mark"
for name in "${names[@]}"; do
  grep -qiF "$(windows "$data")\\$name" "$saved" || fail "the saved list lacks $name: $(cat "$saved")"
done
grep -qiF "$(windows "$deep/long.txt")" "$saved" || fail "the saved list lacks the long path"

cp -a "$data" "$work/before"  # only now: the folder list above must show data alone
type_texts alpha omega
run_and_read_results
[ "$searched" = 4 ] && [ "$replaced" = 4 ] || fail "$searched files searched, $replaced replaced"
for name in "${names[@]}"; do
  [ "$(cat "$data/$name")" = "omega in $name"$'\r' ] || fail "$name holds $(cat "$data/$name")"
  grep -qF "$name" "$work/varnex.log" || fail "the log does not name $name"
done
grep -q 'omega far below' "$deep/long.txt" || fail "the long path's file was not replaced"
[ "$(head -c 3 "$work/varnex.log" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the log has no UTF-8 mark"

undo_last_run "$texts" 4
close_program --as-left
diff -r "$work/before" "$data" >/dev/null || fail "files differ from before the run: $(diff -rq "$work/before" "$data" | head -3)"
echo "four files with names beyond the code page listed, saved, replaced, logged and restored"
