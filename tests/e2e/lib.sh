# Shared by the end-to-end checks: the real program in a folder of its own,
# started under Wine on the virtual display and driven with xdotool. Every wait
# is for a window, a file or a process, never a bare pause.

source "$(dirname "${BASH_SOURCE[0]}")/../../cmake/setup.sh"

work=$(mktemp -d -p /tmp)  # two levels below the root: add_directory.sh counts on it
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# windows_path PATH: a path of this machine as the program names it (Wine's Z:).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# file_list LIST NAME...: a filename list at LIST naming $work/files/NAME.txt
# for each NAME, as the program saves one.
file_list() {
  local list=$1
  shift
  for name in "$@"; do printf '%s\r\n' "$(windows_path "$work/files/$name.txt")"; done >"$list"
}

# install_program EXE: copies the program into the work folder.
install_program() { cp "$1" "$work/varnex.exe"; }

# start_program [LOG]: starts it and sets $main to its main window. Wine's
# messages (as WINEDEBUG asks) go to LOG when one is named.
start_program() {
  varnex_park_pointer  # an earlier check may have left it over where the window opens
  wine "$work/varnex.exe" >/dev/null 2>"${1:-/dev/null}" &
  pid=$!
  main=$(find_window '^Varnex 2\.01$' 600) || fail "the main window did not appear"
}

# find_window NAME-PATTERN TENTHS: the first visible window whose name matches,
# looked for every tenth of a second for up to TENTHS of them. Each look is a
# search of its own: a window that goes while one search reads it (a closing
# box) ends that search with an X error, and the next look goes on.
find_window() {
  local window
  for _ in $(seq "$2"); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.1
  done
  return 1
}

# wait_window NAME-PATTERN: prints the first visible window whose name matches.
wait_window() { find_window "$1" 300 || fail "no window named $1 appeared"; }

# wait_window_gone NAME-PATTERN: waits until no visible window's name matches.
wait_window_gone() {
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name "$1" >/dev/null || return 0
    sleep 0.1
  done
  fail "the window named $1 did not close"
}

# click_for_menu WINDOW X Y BUTTON: clicks and waits for the pop-up menu that
# the click opens.
click_for_menu() { menu_opened_by xdotool mousemove --window "$1" "$2" "$3" click "$4"; }

# menu_opened_by COMMAND...: runs COMMAND and waits for the pop-up menu that it
# opens (a new window on the display).
menu_opened_by() {
  local before
  before=$(xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l)
  "$@"
  for _ in $(seq 600); do
    [ "$(xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l)" -gt "$before" ] && return 0
    sleep 0.05
  done
  fail "no menu opened"
}

# wait_for_file_text FILE TEXT: waits until FILE holds TEXT.
wait_for_file_text() {
  for _ in $(seq 300); do
    grep -qF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "$1 never held '$2'"
}

# ask_to_close [--as-left]: Alt+F4 on the main window, made active first by a
# click on its "Find:" label (Alt+F4 goes to whichever window is active).
# --as-left presses Alt+F4 as a user would, with no click first: the dialog or
# message box that closed last must have given the main window its activation
# back. (A bare X server hands the keys to the window under the pointer, and
# Wine passes them on to its active window, if any.)
ask_to_close() {
  if [ "${1:-}" = --as-left ]; then
    xdotool mousemove --window "$main" 12 225
    xdotool key alt+F4
  else
    xdotool mousemove --window "$main" 12 225 click 1
    xdotool key --window "$main" alt+F4
  fi
}

# ends_within SECONDS: whether the program ends within SECONDS; one that ends
# with an error fails the check.
ends_within() {
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && return 1
  wait "$pid" || fail "the program ended with an error"
  pid=
}

# close_program [--as-left]: asks the program to close as ask_to_close does and
# waits for the process to end.
close_program() {
  ask_to_close "$@"
  ends_within 60 || fail "the program did not end after Alt+F4"
}

# load_list FILE: fills the file list from a filename list, through the
# list's context menu ("Load filename list...") and the Open dialog.
load_list() {
  click_for_menu "$main" 60 60 3
  xdotool key l  # "Load filename list..."
  wait_window '^Open$' >/dev/null
  xdotool type --delay 20 "Z:${1//\//\\}"
  xdotool key Return
  for _ in $(seq 300); do xdotool search --onlyvisible --name '^Open$' >/dev/null || return 0; sleep 0.1; done
  fail "the Open dialog did not close"
}

# Where the memos and the run button are, below the menu bar.
find_memo_y=$((202 + 19 + 20)) replace_memo_y=$((256 + 19 + 20))
button_x=127 button_y=$((310 + 19 + 12))

# run_and_read_results: presses "Replace All Now", answers Yes, and sets
# $searched and $replaced from the results dialog, which it then closes.
# $1: what to do once the run has begun (optional).
run_and_read_results() {
  xdotool mousemove --window "$main" "$button_x" "$button_y" click 1
  answer_and_read_results "${1:-}"
}

# answer_and_read_results [STEP]: the same from the run's question on.
answer_and_read_results() {
  wait_window '^Confirmation$' >/dev/null
  xdotool key Return  # Yes
  [ -n "${1:-}" ] && "$1"
  local results shown
  results=$(wait_window '^Results\.\.\.$')
  shown=$(wine "$texts" 'Results...')
  searched=$(awk '$1 == 104 {print $2}' <<<"$shown" | tr -d '\r')
  replaced=$(awk '$1 == 106 {print $2}' <<<"$shown" | tr -d '\r')
  xdotool key --window "$results" Return
  for _ in $(seq 300); do xdotool search --onlyvisible --name '^Results\.\.\.$' >/dev/null || return 0; sleep 0.1; done
  fail "the results dialog did not close"
}

# preview_summary: waits for the preview and for its summary to count what
# would change once every file has been read, and prints that summary.
preview_summary() {
  local summary=
  wait_window '^Preview Replace All$' >/dev/null
  for _ in $(seq 300); do
    summary=$(wine "$texts" 'Preview Replace All' | awk '$1 == 101 {$1 = ""; print substr($0, 2)}' | tr -d '\r')
    [[ $summary == *"would change"* ]] && break
    sleep 0.1
  done
  echo "$summary"
}

# log_lines: the number of lines in the activity log.
# type_texts FIND REPLACE: clicks into each memo and types its text with real
# keystrokes (see wine.md: synthetic ones lose Shift).
type_texts() {
  xdotool mousemove --window "$main" 120 "$find_memo_y" click 1
  xdotool type --delay 40 "$1"
  xdotool mousemove --window "$main" 120 "$replace_memo_y" click 1
  xdotool type --delay 40 "$2"
}

# undo_last_run TEXTS COUNT: "Undo Last Run..." from the file list's menu, and
# the rest as answer_undo does.
undo_last_run() {
  click_for_menu "$main" 60 60 3
  xdotool key u  # "Undo Last Run..."
  wait_window '^Confirmation$' >/dev/null
  answer_undo "$@"
}

# answer_undo TEXTS COUNT: Undo Last Run's question (which must name COUNT
# changed files) answered Yes, and its end message (which must tell COUNT files
# restored) read with the TEXTS helper and closed; returns once that message has
# gone.
answer_undo() {
  local question told
  question=$(wine "$1" 'Confirmation')
  grep -q "It changed $2 file(s)\." <<<"$question" || fail "the question was: $question"
  xdotool key Return  # Yes
  wait_window '^Varnex$' >/dev/null
  told=$(wine "$1" 'Varnex' | tr -d '\r')
  grep -q "Undo Last Run restored $2 file(s)\.\$" <<<"$told" || fail "the end message was: $told"
  xdotool key Return
  wait_window_gone '^Varnex$'
}

log_lines() { tr -cd '\n' <"$work/varnex.log" | wc -c; }

# add_directory MASK: "Add Directory..." from the plus button, a double click on
# the work folder's first subfolder (the folder list shows z:\, tmp, the work
# folder, then it; the program must have started in the work folder), MASK
# typed into the mask box, and Enter; returns once the dialog has gone.
add_directory() {
  local dialog row=3
  click_for_menu "$main" 20 178 1  # the plus button, under the menu bar
  xdotool key Down Down Return
  dialog=$(wait_window '^Add Directory\.\.\.$')
  # The folder list stands at 8,60 in the dialog, 16 pixels a row.
  xdotool mousemove --window "$dialog" 40 $((60 + 2 + row * 16 + 8)) click --repeat 2 --delay 80 1
  xdotool mousemove --window "$dialog" 200 238 click 1  # the mask box
  xdotool key End $(printf 'BackSpace %.0s' $(seq 20))
  xdotool type --delay 40 "$1"
  xdotool key Return
  wait_window_gone '^Add Directory\.\.\.$'
}
