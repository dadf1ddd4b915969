#!/usr/bin/env bash
# The preview against the run it previews, over the ~20,000-file tree of the
# generated corpus, both timed from outside as a user waits for them: the
# preview from Ctrl+Shift+P to its window's caption saying every file has been
# read; the run from its question gone to the results on the screen (see
# bench/outside.sh). Each run works on a fresh copy of the tree on tmpfs; the
# preview and the run alternate, and medians are printed with their ratio.
# Usage: bench/preview.sh [RUNS]   (default 3)
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=${1:-3}
find=varnexneedle
replace=replacedtext

varnex_install_missing bc
varnex_build_windows >/dev/null

varnex_bench_corpus
corpus=$VARNEX_CORPUS
tree=/dev/shm/varnex-preview-tree
program=/dev/shm/varnex-preview-program
varnex_bench_session
source "$VARNEX_ROOT/bench/outside.sh"
trap 'cleanup; varnex_stop_session; rm -rf "$tree" "$program"' EXIT

list=/dev/shm/varnex-preview.list
fresh_tree() {
  rm -rf "$tree" && cp -a "$corpus/tree" "$tree"
  find "$tree" -type f | sort | sed 's|/|\\|g; s|^|Z:|; s|$|\r|' >"$list"
}

# preview_seconds: the list loaded and the texts typed, then Ctrl+Shift+P;
# seconds until the preview's caption drops "reading".
preview_seconds() {
  local start end
  rm -f "$work/varnex.log"
  start_program
  load_list "$list"
  type_texts "$find" "$replace"
  start=$(now)
  xdotool key ctrl+shift+p
  until_shown '^Preview Replace All$'
  end=$(now)
  xdotool key Escape
  wait_window_gone '^Preview Replace All'
  close_program
  elapsed "$start" "$end"
}

declare -A times
for run in $(seq "$runs"); do
  fresh_tree
  outside_program "$program" "$VARNEX_ROOT/build/windows/varnex.exe"
  times[preview]+="$(preview_seconds) "
  times[run]+="$(dialog_run "$list" "$find" "$replace" 2>/dev/null) "
  echo "run $run of $runs done" >&2
done

m() { echo "${times[$1]}" | varnex_median; }
printf '\n%-8s %10s   (median seconds of %s runs, from outside)\n' what tree "$runs"
printf '%-8s %10.2f\n' run "$(m run)"
printf '%-8s %10.2f   %.2fx the run\n' preview "$(m preview)" "$(echo "$(m preview) / $(m run)" | bc -l)"
