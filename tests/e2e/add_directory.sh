#!/usr/bin/env bash
# Opens "Add Directory..." from the plus button, double-clicks into a prepared
# folder, types the mask "*.txt;*.md", presses Enter and reads the file list
# back through "Save filename list as..." of the list's context menu.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
mkdir -p "$work/data/sub"
for name in a.txt b.md sub/c.txt sub/d.md; do echo x >"$work/data/$name"; done
saved="$work/saved.list"

cd "$work"  # the folder list starts in the process's current directory
start_program
add_directory '*.txt;*.md'

click_for_menu "$main" 60 60 3  # the list's context menu
xdotool key s  # "Save filename list as..."
wait_window '^Save As$' >/dev/null
xdotool type --delay 20 "Z:${saved//\//\\}"
xdotool key Return
wait_for_file_text "$saved" "d.md"
close_program

expected=$(printf '%s\r\n' "Z:${work//\//\\}\\data\\a.txt" "Z:${work//\//\\}\\data\\sub\\c.txt" \
  "Z:${work//\//\\}\\data\\b.md" "Z:${work//\//\\}\\data\\sub\\d.md")
actual=$(cat "$saved")
[ "${actual,,}" = "${expected,,}" ] || fail "the list holds: $(tr -d '\r' <"$saved" | tr '\n' '|')"
echo "added in order: $(tr -d '\r' <"$saved" | tr '\n' '|')"
