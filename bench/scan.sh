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

corpus=/dev/shm/varnex-corpus
if [ ! -d "$corpus/tree" ]; then
  varnex_build "$VARNEX_ROOT/build/bench" -DVARNEX_SANITIZE=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  rm -rf "$corpus"
  "$VARNEX_ROOT/build/bench/bench/make_corpus" "$corpus"
fi
# A tenth of the tree: two of its twenty top folders, linked, not copied.
tenth=/dev/shm/varnex-scan-tenth
rm -rf "$tenth" && mkdir -p "$tenth" && cp -al "$corpus/tree/d0" "$corpus/tree/d1" "$tenth/"

prefix="$VARNEX_ROOT/build/wine-bench-prefix"
trap 'varnex_stop_session; rm -rf "$tenth"' EXIT
varnex_start_display
varnex_wine_environment "$prefix"
varnex_start_wine

windows="$VARNEX_ROOT/build/windows/bench"
seconds() {  # runs a command, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
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
    find) times[find,$folder]+="$(seconds find "$folder" -iname '*.txt') " ;;
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

median() { tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
m() { echo "${times[$1,$2]}" | median; }
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
