#!/usr/bin/env bash
# Replaces "café" with "thé 茶" (a character no ANSI code page of the West
# holds) in a UTF-8 file and in a UTF-16 file, the texts pasted into the memos
# from the clipboard as a user would paste them: each file is written back in
# its own encoding.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
printf 'Caf\xc3\xa9 au lait, caf\xc3\xa9 noir\n' >"$work/utf8.txt"
printf '\xff\xfeC\0a\0f\0\xe9\0 \0c\0a\0f\0\xe9\0\n\0' >"$work/utf16.txt"
list="$work/both.list"
printf '%s\r\n' "Z:${work//\//\\}\\utf8.txt" "Z:${work//\//\\}\\utf16.txt" >"$list"

# paste_into Y ID TEXT: offers TEXT (UTF-8) on the clipboard, pastes it into
# the memo at height Y and waits until the memo (control ID) holds it whole.
paste_into() {
  printf '%s' "$3" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
  local clip=$!
  for _ in $(seq 100); do xclip -o -selection clipboard >/dev/null 2>&1 && break; sleep 0.05; done
  xdotool mousemove --window "$main" 120 "$1" click 1
  xdotool key ctrl+v
  for _ in $(seq 100); do
    wine "$texts" 'Varnex 2.01' | tr -d '\r' | grep -qxF "$2 $3" && break
    sleep 0.1
  done
  kill "$clip" 2>/dev/null || true
  wine "$texts" 'Varnex 2.01' | tr -d '\r' | grep -qxF "$2 $3" || fail "the memo $2 does not hold the pasted text"
}

start_program
load_list "$list"
paste_into "$find_memo_y" 107 $'caf\xc3\xa9'  # Edit2
paste_into "$replace_memo_y" 109 $'th\xc3\xa9 \xe8\x8c\xb6'  # Edit3
run_and_read_results
close_program

[ "$searched" = 2 ] && [ "$replaced" = 2 ] || fail "$searched files searched, $replaced replaced"
# The case option is off: "Café" matches too.
[ "$(cat "$work/utf8.txt")" = $'th\xc3\xa9 \xe8\x8c\xb6 au lait, th\xc3\xa9 \xe8\x8c\xb6 noir\r' ] ||
  fail "utf8.txt holds $(od -c "$work/utf8.txt" | head -3)"
expected=$(printf '\xff\xfet\0h\0\xe9\0 \0\x36\x83 \0t\0h\0\xe9\0 \0\x36\x83\r\0\n\0' | od -An -tx1)
[ "$(od -An -tx1 "$work/utf16.txt")" = "$expected" ] || fail "utf16.txt holds $(od -An -tx1 "$work/utf16.txt")"
echo "café became thé 茶 in UTF-8 and in UTF-16, each in its own encoding"
