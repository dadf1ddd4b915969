#!/usr/bin/env bash
# Add Directory over a working copy: the path typed into "Folder:", an
# exclusion, a mask and "Skip binary files" set with the keyboard and pointer,
# then "Add". The list holds exactly the text files, the message names what
# was left out, and a run over the list and its undo go through.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
data="$work/project"
mkdir -p "$data/.git/objects" "$data/node_modules/lib" "$data/src/node_modules" "$data/docs"
for name in .git/HEAD.txt .git/objects/ab.txt node_modules/lib/index.txt src/node_modules/x.txt; do
  echo alpha >"$data/$name"
done
printf 'alpha one\r\n' >"$data/readme.txt"
printf 'alpha two\r\n' >"$data/src/main.txt"
printf '\xFF\xFEa\0l\0p\0h\0a\0' >"$data/docs/wide.txt"  # UTF-16 text: NULs, and kept
printf 'MZ\x90\0\3\0\0\0alpha' >"$data/src/tool.txt"    # binary by its first block
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >"$data/docs/logo.txt"
cp -a "$data" "$work/before"
saved="$work/saved.list"

start_program
click_for_menu "$main" 20 178 1  # the plus button
xdotool key Down Down Return    # "Add Directory..."
dialog=$(wait_window '^Add Directory\.\.\.$')
field() {  # X Y TEXT: clicks into a box, empties it and types TEXT
  xdotool mousemove --window "$dialog" "$1" "$2" click 1
  xdotool key End shift+Home BackSpace
  xdotool type --delay 20 "$3"
}
field 170 44 "Z:${data//\//\\}"  # "Folder:"
field 200 238 '*.txt'             # "File mask:"; leaving the folder box opened it
field 200 262 '.git;node_modules\'
xdotool mousemove --window "$dialog" 16 304 click 1  # "Skip binary files"
xdotool key Return  # "Add"
wait_window '^Varnex$' >/dev/null
told=$(wine "$texts" 'Varnex' | tr -d '\r')
grep -q '2 binary files and 3 excluded folders were left out\.' <<<"$told" || fail "the message was: $told"
xdotool key Return
wait_window_gone '^Add Directory\.\.\.$'
tr -d '\r' <"$work/settings.ini" | grep -qx 'Exclude=\.git;node_modules\\' || fail "settings: $(tr -d '\r' <"$work/settings.ini")"

click_for_menu "$main" 60 60 3  # the list's context menu
xdotool key s  # "Save filename list as..."
wait_window '^Save As$' >/dev/null
xdotool type --delay 20 "Z:${saved//\//\\}"
xdotool key Return
wait_for_file_text "$saved" "main.txt"
listed=$(tr -d '\r' <"$saved" | sed 's/.*\\project\\//' | sort | tr '\n' ' ')
[ "$listed" = 'docs\wide.txt readme.txt src\main.txt ' ] || fail "the list holds: $listed"

type_texts alpha omega
run_and_read_results
[ "$replaced" = 3 ] || fail "$replaced files replaced, not 3"
grep -q 'omega' "$data/src/main.txt" || fail "main.txt was not changed"
cmp -s "$data/src/tool.txt" "$work/before/src/tool.txt" || fail "the binary file changed"
undo_last_run "$texts" 3
close_program --as-left
diff -r "$work/before" "$data" >/dev/null || fail "files differ after the undo: $(diff -rq "$work/before" "$data" | head -3)"
echo "listed: $listed; told: $(tr '\n' ' ' <<<"$told"); run and undo of 3 files went through"
