#!/usr/bin/env bash
# The batch run against the usual command-line tools, on identical fresh copies
# of a generated corpus on tmpfs: the ~20,000-file tree, one 200 MB file and
# one 50 MB file with ~2 million occurrences. Varnex runs under Wine as a user
# meets it, its window on the virtual display with the list filled (its time is
# the run itself, from the answer to the results); "hidden" is the same run
# with the window never shown, for comparison only. Beside them three bare
# Win32 walks that read every file and rewrite the changed ones: "bare" in
# place; "safe" through a new file and ReplaceFileA, the program's protocol on
# Windows; "renamed" through a new file put in place by one rename, its
# protocol under Wine (see run/targetfile.cpp), and so the floor here.
# Varnex keeps its folder (log, settings, undo store) on the files' volume, as
# on a machine with one disk, where a big file's original goes into the undo
# store by a second name rather than a copy. Tools alternate run by run;
# medians are printed, with the ratios to Varnex and Varnex's to the safe and
# the renaming walks.
# Usage: bench/batch.sh [RUNS]   (default 3)
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=${1:-3}
find=varnexneedle
replace=replacedtext

varnex_install_missing sd ripgrep bc
varnex_build_windows >/dev/null
varnex_build "$VARNEX_ROOT/build/bench" -DVARNEX_SANITIZE=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null

varnex_bench_corpus
corpus=$VARNEX_CORPUS
work=/dev/shm/varnex-work
program="Z:${work//\//\\}-program"
trap 'varnex_stop_session; rm -rf "$work" "$work-program"' EXIT
varnex_bench_session

windows="$VARNEX_ROOT/build/windows/bench"
run_tool() {  # tool target -> seconds
  local tool=$1 target=$2
  case $tool in
    varnex) wine "$windows/batch_bench.exe" --program "$program" "Z:${target//\//\\}" "$find" "$replace" | sed -n 's/^\([0-9.]*\) seconds.*/\1/p' ;;
    hidden) wine "$windows/batch_bench.exe" --hidden --program "$program" "Z:${target//\//\\}" "$find" "$replace" | sed -n 's/^\([0-9.]*\) seconds.*/\1/p' ;;
    bare) wine "$windows/bare_walk.exe" "Z:${target//\//\\}" "$find" "$replace" | sed -n 's/^\([0-9.]*\) seconds.*/\1/p' ;;
    safe) wine "$windows/bare_walk.exe" --safe "Z:${target//\//\\}" "$find" "$replace" | sed -n 's/^\([0-9.]*\) seconds.*/\1/p' ;;
    renamed) wine "$windows/bare_walk.exe" --rename "Z:${target//\//\\}" "$find" "$replace" | sed -n 's/^\([0-9.]*\) seconds.*/\1/p' ;;
    sed) varnex_seconds bash -c "find '$target' -type f -print0 | xargs -0 sed -i 's/$find/$replace/g'" ;;
    perl) varnex_seconds bash -c "find '$target' -type f -print0 | xargs -0 perl -pi -e 's/$find/$replace/g'" ;;
    sd) varnex_seconds bash -c "find '$target' -type f -print0 | xargs -0 sd -s '$find' '$replace'" ;;
    rg+sed) varnex_seconds bash -c "rg -l0 '$find' '$target' | xargs -0 -r sed -i 's/$find/$replace/g'" ;;
  esac
}

declare -A times
tools=(varnex hidden safe renamed bare sed perl sd rg+sed)
for run in $(seq "$runs"); do
  for set in tree big.txt dense.txt; do
    for tool in "${tools[@]}"; do
      rm -rf "$work" && mkdir -p "$work" && cp -a "$corpus/$set" "$work/"
      times[$tool,$set]+="$(run_tool "$tool" "$work/$set") "
    done
  done
  echo "run $run of $runs done" >&2
done

printf '\n%-8s %12s %12s %12s   (median seconds of %s runs; ratio to Varnex)\n' tool tree big.txt dense.txt "$runs"
for tool in "${tools[@]}"; do
  printf '%-8s' "$tool"
  for set in tree big.txt dense.txt; do
    mine=$(echo "${times[$tool,$set]}" | varnex_median)
    base=$(echo "${times[varnex,$set]}" | varnex_median)
    printf ' %6.2f (%4.2fx)' "$mine" "$(echo "$mine / $base" | bc -l)"
  done
  echo
done
for walk in safe renamed; do
  printf '%-8s' "varnex/$walk"
  for set in tree big.txt dense.txt; do
    printf ' %13.2fx' "$(echo "$(echo "${times[varnex,$set]}" | varnex_median) / $(echo "${times[$walk,$set]}" | varnex_median)" | bc -l)"
  done
  echo
done
