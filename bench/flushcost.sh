#!/usr/bin/env bash
# What the run's flushes cost where a flush is dear: the ~20,000-file tree of
# bench/batch.sh run by flush_bench (the run session with no window) through a
# file system whose full flush costs 2 ms and whose write-out without a cache
# flush costs 0.05 ms, as on an NTFS disk under Windows 8 and later, against
# the same run with every flush skipped. Beside them, at the same costs: the
# fallback where no write-out can be had (before Windows 8, under Wine: every
# new file flushed on its own), and the protocol before batches (every file's
# original, journal line and new file flushed before it goes in place). Modes
# take turns run by run, each on a fresh copy of the tree on tmpfs, where the
# system's own flushes cost next to nothing. Prints medians, the flushes each
# asked for, and the ratio to the run with flushes free (target: 1.15x).
# Usage: bench/flushcost.sh [RUNS]   (default 3)
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=${1:-3}

varnex_install_missing bc
varnex_build "$VARNEX_ROOT/build/windows" -DCMAKE_TOOLCHAIN_FILE="$VARNEX_ROOT/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$VARNEX_ROOT/build/windows" --target flush_bench >/dev/null
varnex_bench_corpus
work=/dev/shm/varnex-flushcost
trap 'varnex_stop_session; rm -rf "$work" "$work-program"' EXIT
varnex_bench_session

declare -A options=([free]="off off" [batched]="2 0.05" [fallback]="--fallback 2 0.05" [unbatched]="--fallback --batch 1 2 0.05")
modes=(free batched fallback unbatched)
declare -A times flushes
for run in $(seq "$runs"); do
  for mode in "${modes[@]}"; do
    rm -rf "$work" "$work-program" && mkdir -p "$work" && cp -a "$VARNEX_CORPUS/tree" "$work/"
    # shellcheck disable=SC2086
    line=$(wine "$VARNEX_ROOT/build/windows/bench/flush_bench.exe" ${options[$mode]} "Z:${work//\//\\}-program" \
      "Z:${work//\//\\}\\tree" varnexneedle replacedtext 2>/dev/null | tr -d '\r')
    times[$mode]+="${line%% seconds*} "
    flushes[$mode]=$(sed -n 's/.*failures, \(.*\)/\1/p' <<<"$line")
  done
  echo "run $run of $runs done" >&2
done

free=$(echo "${times[free]}" | varnex_median)
printf '\n%-10s %8s %8s   %s   (median seconds of %s runs)\n' mode seconds "/free" "asked for" "$runs"
for mode in "${modes[@]}"; do
  median=$(echo "${times[$mode]}" | varnex_median)
  printf '%-10s %8.2f %7.2fx   %s\n' "$mode" "$median" "$(echo "$median / $free" | bc -l)" "${flushes[$mode]}"
done
