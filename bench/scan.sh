#!/usr/bin/env bash
# The directory scan against the plainest Win32 walk and against find, on the
# ~20,000-file tree of the generated corpus (tmpfs) and on a tenth of it.
# Varnex scans for "*.txt" with subfolders and appends every match to the
# main window's list, as the Add Directory dialog does, with the window on the
# screen; the bare walk lists each folder as the scan does and only counts;
# find runs natively. Tools alternate run by run; medians are printed, and the
# appending time of the whole tree against that of the tenth, which stays near
# 10 while an append costs the same at any length of the list.
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

trap 'varnex_stop_session; rm -rf "$tenth"' EXIT
varnex_bench_session

windows="$VARNEX_ROOT/build/windows/bench"
declare -A times
measure() {  # tool folder: adds the run's seconds (and Varnex's appending time)
  local tool=$1 folder=$2 line
  case $tool in
    varnex)
      line=$(wine "$windows/scan_bench.exe" "Z:${folder//\//\\}" '*.txt' | tr -d '\r')
      times[varnex,$folder]+="${line%% seconds*} "
      times[appends,$folder]+="$(echo "$line" | sed -n 's/.*, \([0-9.]*\) seconds appending/\1/p') " ;;
    bare)
      line=$(wine "$windows/bare_scan.exe" "Z:${folder//\//\\}" '*.txt' | tr -d '\r')
      times[bare,$folder]+="${line%% seconds*} " ;;
    find) times[find,$folder]+="$(varnex_seconds find "$folder" -iname '*.txt') " ;;
  esac
}

tools=(varnex bare find)
sets=("$corpus/tree" "$tenth")
for run in $(seq "$runs"); do
  for folder in "${sets[@]}"; do
    for tool in "${tools[@]}"; do measure "$tool" "$folder"; done
  done
  echo "run $run of $runs done" >&2
done

m() { echo "${times[$1,$2]}" | varnex_median; }
printf '\n%-8s %16s %16s   (median seconds of %s runs; ratio to the bare walk)\n' tool "tree (20,000)" "tenth (2,000)" "$runs"
for tool in "${tools[@]}" appends; do
  printf '%-8s' "$tool"
  for folder in "${sets[@]}"; do
    printf ' %8.3f (%5.2fx)' "$(m "$tool" "$folder")" "$(echo "$(m "$tool" "$folder") / $(m bare "$folder")" | bc -l)"
  done
  echo
done
printf '\nwhole tree against its tenth: scan %.2fx, appending %.2fx\n' \
  "$(echo "$(m varnex "${sets[0]}") / $(m varnex "${sets[1]}")" | bc -l)" \
  "$(echo "$(m appends "${sets[0]}") / $(m appends "${sets[1]}")" | bc -l)"
