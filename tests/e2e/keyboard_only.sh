#!/usr/bin/env bash
# The whole job with the keyboard alone: "Add Directory..." from the file
# list's menu (Shift+F10, then its access key) over the folder the program
# starts in, "Case sensitive" ticked in the options panel (Alt+O, Space; Alt+F4
# and Esc hide the panel and the button follows), both texts typed, the run
# (Alt+N, the question answered with Enter), the results read and closed, and
# "Undo Last Run..." from the list's menu: the files are back as they were. The
# pointer only rests on the main window, for the keys to reach the program.
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

# options_caption: the options button's caption (control 105 of the main window).
options_caption() { wine "$texts" 'Varnex 2.01' | awk '$1 == 105 {sub(/^105 /, ""); print}' | tr -d '\r'; }

cd "$work/data"  # the folder list starts in the process's current directory
start_program
xdotool mousemove --window "$main" 12 225  # the "Find:" label, away from every control

# The list has the focus; its menu opens at its current entry.
menu_opened_by xdotool key shift+F10
xdotool key d  # "Add &Directory..."
wait_window '^Add Directory\.\.\.$' >/dev/null
xdotool key Return  # "Add": *.txt, subfolders included
wait_window_gone '^Add Directory\.\.\.$'

xdotool key alt+o
wait_window '^ $' >/dev/null  # the panel, its first box with the focus
xdotool key space  # "Case sensitive"
wait_for_file_text "$settings" "CS=True"
xdotool key alt+F4
wait_window_gone '^ $'
[ "$(options_caption)" = "Show Advanced &Options >>>>>" ] || fail "after Alt+F4 the button reads $(options_caption)"
xdotool key alt+o
wait_window '^ $' >/dev/null
[ "$(options_caption)" = "<<<<< Hide Advanced &Options" ] || fail "with the panel up the button reads $(options_caption)"
xdotool key Escape  # the options button has the keyboard back
wait_window_gone '^ $'

xdotool key Tab  # into the find text
xdotool type --delay 40 alpha
xdotool key Tab
xdotool type --delay 40 omega

xdotool key alt+n
wait_window '^Confirmation$' >/dev/null
xdotool key Return  # Yes
wait_window '^Results\.\.\.$' >/dev/null
shown=$(wine "$texts" 'Results...')
searched=$(awk '$1 == 104 {print $2}' <<<"$shown" | tr -d '\r')
replaced=$(awk '$1 == 106 {print $2}' <<<"$shown" | tr -d '\r')
xdotool key Return
wait_window_gone '^Results\.\.\.$'
[ "$searched/$replaced" = "2/2" ] || fail "$searched files searched and $replaced replaced, not 2 and 2"
[ "$(tr -d '\r' <"$work/data/a.txt")" = "omega ALPHA" ] || fail "a.txt holds $(cat "$work/data/a.txt")"
[ "$(tr -d '\r' <"$work/data/sub/b.txt")" = "one omega" ] || fail "sub/b.txt holds $(cat "$work/data/sub/b.txt")"

xdotool key Tab  # from the run button round to the list
menu_opened_by xdotool key shift+F10
xdotool key u  # "&Undo Last Run..."
wait_window '^Confirmation$' >/dev/null
answer_undo "$texts" 2
close_program --as-left

diff -r "$work/before" "$work/data" >/dev/null || fail "files differ from before the run: $(diff -rq "$work/before" "$work/data")"
echo "added, typed, ticked, ran ($searched searched, $replaced replaced) and undone with the keyboard alone"
