#!/usr/bin/env bash
# Builds of varnex.exe against each other over the ~20,000-file tree of
# bench/batch.sh, each timed from outside as a user waits for it (the window on
# the screen, the tree's list loaded, the texts typed, "Replace All Now"
# answered Yes; from the question gone to the results on the screen), with
# beside them the floor of any Win32 program here: the bare walk that puts
# each changed file in place through a new file and one rename, as the program
# does under Wine (bare_walk --rename). The builds and the floor take turns run
# by run, each on a fresh copy of the tree on tmpfs, with the program's folder
# (log, settings, undo store) on the same volume. Give the build a change
# replaces and one a week older: a change that costs five per cent shows
# against both, however loaded the machine is that day.
# Usage: bench/builds.sh RUNS EXE...   (e.g. build/windows/varnex.exe and
#        another worktree's build of an older commit)
# An EXE given as noflush:PATH runs with its flushes to the disk turned off
# (bench/nofsync.c preloaded into its process). VARNEX_BENCH_DISK=1 puts the
# tree and the program's folder on this machine's disk (under build/) rather
# than on tmpfs, where a flush costs nothing.
# Prints each one's median seconds and its ratio to the first EXE and to the floor.
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=$1
shift
exes=("$@")
[ ${#exes[@]} -ge 1 ] || { echo "usage: bench/builds.sh RUNS EXE..." >&2; exit 2; }
find=varnexneedle
replace=replacedtext

varnex_install_missing bc
varnex_build "$VARNEX_ROOT/build/windows" -DCMAKE_TOOLCHAIN_FILE="$VARNEX_ROOT/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$VARNEX_ROOT/build/windows" --target bare_walk >/dev/null
varnex_bench_corpus
corpus=$VARNEX_CORPUS
place=/dev/shm
if [ "${VARNEX_BENCH_DISK:-0}" = 1 ]; then place=$VARNEX_ROOT/build/bench-disk; mkdir -p "$place"; fi
files=$place/varnex-builds
program=$place/varnex-builds-program
nofsync=$VARNEX_ROOT/build/bench/nofsync.so
mkdir -p "$(dirname "$nofsync")"
gcc -shared -fPIC -O2 -o "$nofsync" "$VARNEX_ROOT/bench/nofsync.c"
varnex_bench_session
source "$VARNEX_ROOT/bench/outside.sh"
trap 'cleanup; varnex_stop_session; rm -rf "$files" "$program"' EXIT

list=$files/tree.list
fresh_tree() {
  rm -rf "$files" && mkdir -p "$files" && cp -a "$corpus/tree" "$files/"
  find "$files/tree" -type f | sort | sed 's|/|\\|g; s|^|Z:|; s|$|\r|' >"$list"
}
# The list through the list's menu: "&Load filename list..." by its access
# key, or in builds whose menus had none, as the menu's first item.
load_tree_list() {
  click_for_menu "$main" 60 60 3
  xdotool key l
  find_window '^Open$' 10 >/dev/null || xdotool key Down Return
  wait_window '^Open$' >/dev/null
  xdotool type --delay 20 "Z:${list//\//\\}"
  xdotool key Return
  wait_window_gone '^Open$'
}
load_list() { load_tree_list; }

declare -A times
for run in $(seq "$runs"); do
  for i in "${!exes[@]}"; do
    fresh_tree
    exe=${exes[$i]}
    outside_program "$program" "${exe#noflush:}"
    preload=
    [ "${exe#noflush:}" = "$exe" ] || preload=$nofsync
    times[$i]+="$(LD_PRELOAD=$preload dialog_run "$list" "$find" "$replace" 2>/dev/null) "
  done
  fresh_tree
  line=$(wine "$VARNEX_ROOT/build/windows/bench/bare_walk.exe" --rename "Z:${files//\//\\}\\tree" "$find" "$replace" \
    2>/dev/null | tr -d '\r')
  times[floor]+="${line%% seconds*} "
  echo "run $run of $runs done" >&2
done

m() { echo "${times[$1]}" | varnex_median; }
printf '\n%-60s %8s %8s %8s   (median seconds of %s runs each, taken in turn)\n' build seconds "/first" "/floor" "$runs"
for i in "${!exes[@]}"; do
  printf '%-60s %8.2f %7.2fx %7.2fx\n' "${exes[$i]}" "$(m "$i")" "$(echo "$(m "$i") / $(m 0)" | bc -l)" \
    "$(echo "$(m "$i") / $(m floor)" | bc -l)"
done
printf '%-60s %8.2f\n' "floor: bare_walk --rename" "$(m floor)"
for i in "${!exes[@]}"; do echo "runs of ${exes[$i]}: ${times[$i]}"; done
echo "runs of the floor: ${times[floor]}"
