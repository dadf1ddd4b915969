# Shared by the benchmarks that time the real varnex.exe from outside, as a
# user waits for it: the end-to-end checks' helpers drive its windows, and this
# shell's clock runs from the key that starts the wait to the window that ends
# it. Source it after cmake/setup.sh, with a Wine session up.

source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"

# Each look at the display costs a process: the polls pause between looks, so
# the program keeps most of the two cores, and a wait is known to ~30 ms.
now() { date +%s.%N; }
until_gone() { while xdotool search --onlyvisible --name "$1" >/dev/null; do sleep 0.02; done; }
until_shown() { until xdotool search --onlyvisible --name "$1" >/dev/null; do sleep 0.02; done; }
elapsed() { echo "$2 - $1" | bc; }

# outside_program FOLDER EXE: the program installed in FOLDER, where it keeps
# its settings, log and undo store; the checks' helpers work there.
outside_program() {
  work=$1
  rm -rf "$work" && mkdir -p "$work"
  install_program "$2"
}

# dialog_scan FOLDER [SETTING...]: the Add Directory dialog set to FOLDER, mask
# *.txt with subfolders (and each SETTING, such as Exclude=.git); seconds from
# Return on "Add" to the list filled: the dialog gone, or its message of what
# it left out on the screen. The program starts
# with an empty list each time.
dialog_scan() {
  local dialog start end
  rm -f "$work/varnex.log"
  printf '[Options]\r\nDirectory=%s\r\nFileMask=*.txt\r\nSubDirectories=True\r\n' "Z:${1//\//\\}" >"$work/settings.ini"
  shift
  for setting in "$@"; do printf '%s\r\n' "$setting" >>"$work/settings.ini"; done
  start_program
  click_for_menu "$main" 20 178 1  # the plus button's menu: "Add Directory..."
  xdotool key Down Down Return
  dialog=$(wait_window '^Add Directory\.\.\.$')
  xdotool mousemove --window "$dialog" 200 238 click 1  # the mask box: the keys go to the dialog
  start=$(now)
  xdotool key Return
  # The list is filled when the dialog goes, or when it tells what it left
  # out (excluded folders, binary files) in a box of its own.
  while xdotool search --onlyvisible --name '^Add Directory\.\.\.$' >/dev/null &&
    ! xdotool search --onlyvisible --name '^Varnex$' >/dev/null; do sleep 0.02; done
  end=$(now)
  if xdotool search --onlyvisible --name '^Varnex$' >/dev/null; then xdotool key Return; fi
  wait_window_gone '^Add Directory\.\.\.$'
  close_program
  elapsed "$start" "$end"
}

# dialog_run LIST FIND REPLACE: the files of the filename list LIST loaded, the
# texts typed, "Replace All Now" pressed and answered Yes; seconds from the
# question gone (Wine holds a closing box ~2 s on the screen before the run
# can begin) to the results on the screen. The undo store is emptied first.
# The program's peak memory (its process's VmHWM, in MiB) is left in
# $work/peak-mib.
dialog_run() {
  local start end results
  rm -rf "$work/undo" "$work/varnex.log"
  start_program
  load_list "$1"
  type_texts "$2" "$3"
  xdotool mousemove --window "$main" "$button_x" "$button_y" click 1
  wait_window '^Confirmation$' >/dev/null
  xdotool key Return  # Yes
  until_gone '^Confirmation$'
  start=$(now)
  until_shown '^Results\.\.\.$'
  end=$(now)
  results=$(wait_window '^Results\.\.\.$')
  awk '/^VmHWM/ {print int($2 / 1024)}' "/proc/$pid/status" >"$work/peak-mib"
  xdotool key --window "$results" Return
  wait_window_gone '^Results\.\.\.$'
  close_program
  elapsed "$start" "$end"
}

# outside_seconds COMMAND...: its wall time as seen from here, Wine's start of
# a process included.
outside_seconds() {
  local start end
  start=$(now)
  "$@" >/dev/null 2>&1
  end=$(now)
  elapsed "$start" "$end"
}
