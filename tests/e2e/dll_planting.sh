#!/usr/bin/env bash
# DLL planting. Windows looks for a DLL that is not one of its known DLLs
# beside the program first, so DLLs named after the system DLLs the program
# uses (winmm.dll, mpr.dll) are put beside it and in the current folder, and
# Wine is told to prefer them, as Windows would. Then a whole job: a list
# loaded and run, the results with their sound, the About box, Add Directory
# with a network drive in its drive list. No planted DLL is ever loaded, the
# job's results are right, and Wine's log shows both DLLs taken from the
# system folder, so the program did reach for each.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2 planted=$3 network_drive=$4
count=20
current="$work/current"
mkdir -p "$work/files" "$work/share" "$current"
for folder in "$work" "$current"; do
  for name in winmm.dll mpr.dll; do cp "$planted" "$folder/$name"; done
done
list="$work/all.list"
for i in $(seq -f '%02g' 1 "$count"); do
  printf 'alpha %s\r\n' "$i" >"$work/files/f$i.txt"
  printf '%s\r\n' "Z:${work//\//\\}\\files\\f$i.txt"
done >"$list"

# The drive list asks for the network connection of a network drive only.
letter=
for candidate in n o p q r s t u v w x y; do
  [ -e "$WINEPREFIX/dosdevices/$candidate:" ] || { letter=$candidate; break; }
done
[ -n "$letter" ] || fail "no free drive letter in the prefix"
trap 'wine "$network_drive" "$letter" >/dev/null 2>&1 || true; cleanup' EXIT
wine "$network_drive" "$letter" "$work/share" || fail "could not map $letter: as a network drive"

export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm,mpr=n,b"
cd "$current"
WINEDEBUG=-all,+loaddll start_program "$work/wine.log"
load_list "$list"
type_texts alpha omega
run_and_read_results  # the results beep as they show

menu_opened_by xdotool key alt+h  # the menu bar's "Help"
xdotool key a  # "&About..."
about=$(wait_window '^About Varnex$')
xdotool key --window "$about" Return
wait_window_gone '^About Varnex$'

click_for_menu "$main" 20 178 1  # the plus button
xdotool key Down Down Return  # "Add Directory..."
dialog=$(wait_window '^Add Directory\.\.\.$')
xdotool mousemove --window "$dialog" 237 330 click 1  # "Cancel"
wait_window_gone '^Add Directory\.\.\.$'
close_program

loaded=$(find "$work" -name '*.loaded' -printf '%P ')
[ -z "$loaded" ] || fail "planted DLLs were loaded: $loaded"
[ "$searched" = "$count" ] && [ "$replaced" = "$count" ] || fail "$searched searched, $replaced replaced, not $count"
changed=$(grep -l "^omega [0-9]*"$'\r''$' "$work"/files/*.txt | wc -l)
[ "$changed" = "$count" ] || fail "$changed of $count files hold the replacement"
for name in winmm.dll mpr.dll; do
  grep -qiF "system32\\\\$name\"" "$work/wine.log" ||
    fail "$name was never loaded from the system folder; loaded: $(grep -o 'Loaded L"[^"]*"' "$work/wine.log" | tr '\n' ' ')"
done
echo "$count files replaced; winmm.dll and mpr.dll came from the system folder, the planted ones were never loaded"
