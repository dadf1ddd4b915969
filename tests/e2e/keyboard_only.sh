#!/usr/bin/env bash
# The whole job with the keyboard alone, through the menu bar and its
# shortcuts: "Add Directory..." by Ctrl+D over the folder the program starts
# in, everything taken off again with "Delete All..." from the minus button
# (the keyboard then goes on with Tab: the find text takes what is typed),
# "Add Directory..." again from the File menu, "Case sensitive" ticked in the
# options panel by its access key (Alt+F4 and Esc hide the panel and the
# button follows), both texts typed, the preview by Ctrl+Shift+P and from the
# Run menu, the run (Alt+N, the question answered with Enter), the results
# read and closed with Esc, "Undo Last Run..." by Ctrl+Z; a second run, its
# results closed with Enter, undone from the Run menu; the About box opened
# from the Help menu and closed with Esc. The files are back as they were.
# The pointer only rests on the main window, for the keys to reach the
# program.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
mkdir -p "$work/data/sub"
printf 'alpha ALPHA\r\n' >"$work/data/a.txt"
printf 'one alpha\n' >"$work/data/sub/b.txt"
printf 'alpha\n' >"$work/data/c.md"  # outside the mask
cp -a "$work/data" "$work/before"
settings="$work/settings.ini"

# control_text ID: the text of a control of the main window.
control_text() { wine "$texts" 'Varnex 2.01' | awk -v id="$1" '$1 == id {sub(/^[0-9]+ ?/, ""); print}' | tr -d '\r'; }
options_caption() { control_text 105; }

add_directory_dialog() {
  wait_window '^Add Directory\.\.\.$' >/dev/null
  xdotool key Return  # "Add": *.txt, subfolders included
  wait_window_gone '^Add Directory\.\.\.$'
}

# run_by_keys: Alt+N, the question answered with Enter, the results read;
# then closed with the key $1.
run_by_keys() {
  xdotool key alt+n
  wait_window '^Confirmation$' >/dev/null
  xdotool key Return  # Yes
  wait_window '^Results\.\.\.$' >/dev/null
  shown=$(wine "$texts" 'Results...')
  searched=$(awk '$1 == 104 {print $2}' <<<"$shown" | tr -d '\r')
  replaced=$(awk '$1 == 106 {print $2}' <<<"$shown" | tr -d '\r')
  xdotool key "$1"
  wait_window_gone '^Results\.\.\.$'
  [ "$searched/$replaced" = "2/2" ] || fail "$searched files searched and $replaced replaced, not 2 and 2"
  [ "$(tr -d '\r' <"$work/data/a.txt")" = "omega ALPHA" ] || fail "a.txt holds $(cat "$work/data/a.txt")"
  [ "$(tr -d '\r' <"$work/data/sub/b.txt")" = "one omega" ] || fail "sub/b.txt holds $(cat "$work/data/sub/b.txt")"
}

# preview_by_keys KEY...: the preview opened by the keys, closed with Esc.
preview_by_keys() {
  xdotool key "$@"
  wait_window '^Preview Replace All$' >/dev/null
  xdotool key Escape
  wait_window_gone '^Preview Replace All'
}

cd "$work/data"  # the folder list starts in the process's current directory
start_program
xdotool mousemove --window "$main" 12 225  # the "Find:" label, away from every control

xdotool key ctrl+d
add_directory_dialog
xdotool key Tab Tab  # from the list to the minus button
menu_opened_by xdotool key space
xdotool key a  # "Delete &All..."
wait_window '^Confirmation$' >/dev/null
xdotool key Return
wait_window_gone '^Confirmation$'
# The minus button is off; the keyboard went on to the options button.
xdotool key Tab
xdotool type --delay 40 alpha
for _ in $(seq 100); do [ "$(control_text 107)" = alpha ] && break; sleep 0.1; done
[ "$(control_text 107)" = alpha ] || fail "after Delete All and Tab the find text holds '$(control_text 107)'"

menu_opened_by xdotool key alt+f
xdotool key d  # "Add &Directory..."
add_directory_dialog

xdotool key alt+o
wait_window '^ $' >/dev/null  # the panel
xdotool key alt+c  # "&Case sensitive"
wait_for_file_text "$settings" "CS=True"
xdotool key alt+F4
wait_window_gone '^ $'
[ "$(options_caption)" = "Show Advanced &Options >>>>>" ] || fail "after Alt+F4 the button reads $(options_caption)"
xdotool key alt+o
wait_window '^ $' >/dev/null
[ "$(options_caption)" = "<<<<< Hide Advanced &Options" ] || fail "with the panel up the button reads $(options_caption)"
xdotool key Escape  # the options button has the keyboard back
wait_window_gone '^ $'

xdotool key alt+p  # "Re&place to:"
xdotool type --delay 40 omega

preview_by_keys ctrl+shift+p
menu_opened_by xdotool key alt+r
preview_by_keys p  # "&Preview Replace All..."

run_by_keys Escape
xdotool key ctrl+z
wait_window '^Confirmation$' >/dev/null
answer_undo "$texts" 2
diff -r "$work/before" "$work/data" >/dev/null || fail "after Ctrl+Z files differ: $(diff -rq "$work/before" "$work/data")"

run_by_keys Return
menu_opened_by xdotool key alt+r
xdotool key u  # "&Undo Last Run..."
wait_window '^Confirmation$' >/dev/null
answer_undo "$texts" 2

menu_opened_by xdotool key alt+h
xdotool key a  # "&About..."
wait_window '^About Varnex$' >/dev/null
xdotool key Escape
wait_window_gone '^About Varnex$'
close_program --as-left

diff -r "$work/before" "$work/data" >/dev/null || fail "files differ from before the run: $(diff -rq "$work/before" "$work/data")"
echo "added, deleted, added again, typed, ticked, previewed, ran and undone twice with the keyboard alone"
