#!/usr/bin/env bash
# The batch run over the ~20,000-file tree of bench/batch.sh and then Undo Last
# Run of it, each as a user waits for it (the window on the screen; the run
# from the answer to the results, the undo from the answer to its closing
# message), on a fresh copy of the tree each time, with the program's folder
# and so its undo store on the tree's volume (tmpfs). Each undo must give back
# the tree byte for byte. Prints both medians and the undo's share of the run.
# Usage: bench/undo.sh [RUNS]   (default 3)
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=${1:-3}

varnex_install_missing bc
varnex_build_windows >/dev/null
varnex_bench_corpus
corpus=$VARNEX_CORPUS
work=/dev/shm/varnex-undo-work
program="Z:${work//\//\\}-program"
trap 'varnex_stop_session; rm -rf "$work" "$work-program"' EXIT
varnex_bench_session

runTimes= undoTimes=
for run in $(seq "$runs"); do
  rm -rf "$work" && mkdir -p "$work" && cp -a "$corpus/tree" "$work/"
  output=$(wine "$VARNEX_ROOT/build/windows/bench/batch_bench.exe" --undo --program "$program" \
             "Z:${work//\//\\}\\tree" varnexneedle replacedtext)
  echo "$output" >&2
  runTimes+="$(echo "$output" | sed -n 's/^\([0-9.]*\) seconds.*/\1/p') "
  undoTimes+="$(echo "$output" | sed -n 's/^undo \([0-9.]*\) seconds.*/\1/p') "
  diff -rq "$corpus/tree" "$work/tree" >&2 || { echo "run $run: the undo did not give the tree back" >&2; exit 1; }
done

runMedian=$(echo "$runTimes" | varnex_median)
undoMedian=$(echo "$undoTimes" | varnex_median)
printf '\ntree: run %.2f s, undo %.2f s (%.2fx the run; medians of %s runs)\n' \
  "$runMedian" "$undoMedian" "$(echo "$undoMedian / $runMedian" | bc -l)" "$runs"
