#!/usr/bin/env bash
# The Add Directory scan against the plainest Win32 walk and against find, on
# the ~20,000-file tree of the generated corpus (tmpfs) and on a tenth of it,
# the mask users start with, *.txt (every file of the corpus), with
# subfolders, timed two ways:
# - in-process: the real dialog over the main window, both on the screen, runs
#   its scan inside scan_bench, from the click on "Add" to the list filled; the
#   bare walk (bare_scan) lists each folder once and times itself;
#   find runs natively;
# - from outside, as the user waits: the real varnex.exe, from Return on "Add"
#   to the dialog gone with the list filled, and the bare walk from its start
#   to its end as this shell sees them. Each carries a constant of Wine's
#   (~2 s to take a closing dialog off a display without a window manager; a
#   process start), which the difference between the tree and its tenth
#   cancels: that difference is what the user waits for the scan.
# Then the two ways of leaving files out, the same two ways: "Exclude:" d1?\
# over the tree, which lists the files of its half (d0 to d9), against the
# half scanned as before (in-process), and from outside against the half with
# the same exclusion, which there leaves out one empty folder (d1z): both waits
# end at the message of what was left out, before the dialog closes, so that
# Wine's constant for a closing dialog is in neither; "Skip binary files" over the tree (each file's first
# block read) against the bare listing and the scan without it.
# Tools alternate run by run; medians are printed.
# Usage: bench/scan.sh [RUNS]   (default 3)
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=${1:-3}

varnex_install_missing bc
varnex_build_windows >/dev/null

varnex_bench_corpus
corpus=$VARNEX_CORPUS
# A tenth of the tree: two of its twenty top folders, linked, not copied.
tenth=/dev/shm/varnex-scan-tenth
rm -rf "$tenth" && mkdir -p "$tenth" && cp -al "$corpus/tree/d0" "$corpus/tree/d1" "$tenth/"
half=/dev/shm/varnex-scan-half
rm -rf "$half" && mkdir -p "$half" && for d in 0 1 2 3 4 5 6 7 8 9; do cp -al "$corpus/tree/d$d" "$half/"; done
mkdir "$half/d1z"

varnex_bench_session
source "$VARNEX_ROOT/bench/outside.sh"
trap 'cleanup; varnex_stop_session; rm -rf "$tenth" "$half"' EXIT
outside_program "$work" "$VARNEX_ROOT/build/windows/varnex.exe"

windows="$VARNEX_ROOT/build/windows/bench"
declare -A times
excluded='d1?\'
measure() {  # tool folder: adds the run's seconds
  local tool=$1 folder=$2 line
  case $tool in
    dialog | dialog-x | dialog-b)
      local extra=()
      [ "$tool" = dialog-x ] && extra=("$excluded")
      [ "$tool" = dialog-b ] && extra=('' --skip-binary)
      line=$(wine "$windows/scan_bench.exe" "Z:${folder//\//\\}" '*.txt' "${extra[@]}" 2>/dev/null | tr -d '\r')
      times[$tool,$folder]+="${line%% seconds*} " ;;
    varnex.exe-x) times[$tool,$folder]+="$(dialog_scan "$folder" "Exclude=$excluded" 2>/dev/null) " ;;
    varnex.exe-b) times[$tool,$folder]+="$(dialog_scan "$folder" SkipBinaryFiles=True 2>/dev/null) " ;;
    bare)
      line=$(wine "$windows/bare_scan.exe" "Z:${folder//\//\\}" '*.txt' 2>/dev/null | tr -d '\r')
      times[bare,$folder]+="${line%% seconds*} " ;;
    find) times[find,$folder]+="$(varnex_seconds find "$folder" -iname '*.txt') " ;;
    varnex.exe) times[varnex.exe,$folder]+="$(dialog_scan "$folder" 2>/dev/null) " ;;
    bare.exe) times[bare.exe,$folder]+="$(outside_seconds wine "$windows/bare_scan.exe" "Z:${folder//\//\\}" '*.txt') " ;;
  esac
}

inside=(dialog bare find)
outside=(varnex.exe bare.exe)
sets=("$corpus/tree" "$tenth")
for run in $(seq "$runs"); do
  for folder in "${sets[@]}"; do
    for tool in "${inside[@]}" "${outside[@]}"; do measure "$tool" "$folder"; done
  done
  for tool in dialog varnex.exe-x; do measure "$tool" "$half"; done
  for tool in dialog-x dialog-b varnex.exe-x varnex.exe-b; do measure "$tool" "$corpus/tree"; done
  echo "run $run of $runs done" >&2
done

m() { echo "${times[$1,$2]}" | varnex_median; }
difference() { echo "$(m "$1" "${sets[0]}") - $(m "$1" "${sets[1]}")" | bc -l; }
row() {  # tool anchor
  printf '%-11s' "$1"
  for folder in "${sets[@]}"; do
    printf ' %8.3f (%5.2fx)' "$(m "$1" "$folder")" "$(echo "$(m "$1" "$folder") / $(m "$2" "$folder")" | bc -l)"
  done
  printf ' %8.3f (%5.2fx)\n' "$(difference "$1")" "$(echo "$(difference "$1") / $(difference "$2")" | bc -l)"
}
printf '\n%-11s %16s %16s %16s   (median seconds of %s runs; ratio to the bare walk)\n' \
  tool "tree (20,000)" "tenth (2,000)" "tree - tenth" "$runs"
echo "in-process"
for tool in "${inside[@]}"; do row "$tool" bare; done
echo "from outside"
for tool in "${outside[@]}"; do row "$tool" bare.exe; done

ratio() { echo "$1 / $2" | bc -l; }
less() { echo "$(m "$1" "$2") - $(m varnex.exe "$tenth")" | bc -l; }  # from outside, Wine's constants gone
tree=$corpus/tree
echo
printf 'Exclude %s over the tree, against the half scanned before: in-process %.3f s against %.3f (%.2fx); from outside, to the message of what was left out, %.3f against %.3f for the half (%.2fx)\n' \
  "$excluded" "$(m dialog-x "$tree")" "$(m dialog "$half")" "$(ratio "$(m dialog-x "$tree")" "$(m dialog "$half")")" \
  "$(m varnex.exe-x "$tree")" "$(m varnex.exe-x "$half")" "$(ratio "$(m varnex.exe-x "$tree")" "$(m varnex.exe-x "$half")")"
printf 'Skip binary files over the tree: in-process %.3f s, %.2fx the bare listing, %.2fx the scan without it; from outside, less the tenth, %.3f s, %.2fx the bare listing, %.2fx the scan without it\n' \
  "$(m dialog-b "$tree")" "$(ratio "$(m dialog-b "$tree")" "$(m bare "$tree")")" "$(ratio "$(m dialog-b "$tree")" "$(m dialog "$tree")")" \
  "$(less varnex.exe-b "$tree")" "$(ratio "$(less varnex.exe-b "$tree")" "$(difference bare.exe)")" \
  "$(ratio "$(less varnex.exe-b "$tree")" "$(difference varnex.exe)")"
