#!/usr/bin/env bash
# One big file replaced as a user waits for it: the 200 MB file with sparse
# hits and the 50 MB file with ~2 million, each a fresh copy on tmpfs for every
# tool, against sd -s and sed -i on the same copies. Varnex is timed two ways:
# from outside, the real varnex.exe driven as a user drives it (the list
# loaded, the texts typed, "Replace All Now" answered Yes), from the question
# gone to the results on the screen; in-process, batch_bench's run from the
# answer to the results, with the peak memory the process held. Each has its
# program folder (settings, log, undo store) once on the files' volume, where
# the store keeps a big file's original by a second name, and once on another
# volume (the disk under build/), where the store copies it into its pack, as
# for a user whose documents are on another drive than the program. Beside
# them the floor of any Win32 program here (bare_walk --rename): read whole,
# replace, write a new file, flush it and rename it over the original; with
# "-other", the original first copied into a store on the other volume and
# flushed, as the undo store must before the file changes. That flush of the
# whole original to a disk is what no tool on the command line pays.
# The other volume is, where this shell may mount one, a disk image of its own
# whose blocks were all written once before the runs: this machine's disk is
# thin-provisioned, and the first write to a block it never held costs ten
# times a rewrite, a toss-up that falls on whichever tool ext4 hands fresh
# blocks and swamps every figure. A user's own disk has no such first-write
# toll. Without a mount the disk under build/ is taken as it is.
# The disk has a second toll: after a second or two with nothing written, the
# first ~200 MB written cost as much again. The program run from outside always
# comes to its run after Wine's closing question held the screen for two
# seconds, so every tool's run on the other volume starts from the disk as
# idle: the in-process run and the floor wait three seconds first, else the
# one run right after another tool's writes is twice as fast for the same work.
# Tools alternate run by run; medians are printed with their ratios to sd -s,
# then Varnex's to the floor with the same protocol.
# Usage: bench/single.sh [RUNS]   (default 3)
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=${1:-3}
find=varnexneedle
replace=replacedtext

varnex_install_missing sd bc
varnex_build_windows >/dev/null

varnex_bench_corpus
corpus=$VARNEX_CORPUS
files=/dev/shm/varnex-single
same=/dev/shm/varnex-single-program
volume=$VARNEX_ROOT/build/single-volume
other=$volume/program
image=$VARNEX_ROOT/build/single-volume.img
# A gigabyte's image, filled through its file system and emptied again, so
# every block the runs write to the disk under it has been written before.
mount_other_volume() {
  mkdir -p "$volume"
  if truncate -s 1G "$image" && mkfs.ext4 -q -F -E nodiscard "$image" && mount -o loop "$image" "$volume" 2>/dev/null; then
    dd if=/dev/urandom of="$volume/fill" bs=4M conv=fsync status=none 2>/dev/null || true
    rm -f "$volume/fill" && sync
  else
    rm -f "$image"
    echo "(no disk image mounted: the other volume is the disk under build/)" >&2
  fi
}
unmount_other_volume() {
  rm -rf "$other"
  if mountpoint -q "$volume"; then umount "$volume"; fi
  rm -rf "$volume" "$image"
}
varnex_bench_session
source "$VARNEX_ROOT/bench/outside.sh"
trap 'cleanup; varnex_stop_session; rm -rf "$files" "$same"; unmount_other_volume' EXIT
mount_other_volume

windows="$VARNEX_ROOT/build/windows"
list=$files/list.list
declare -A times peaks
idle_disk() { [[ $1 != *-other ]] || sleep 3; }
measure() {  # tool file: adds the run's seconds
  local tool=$1 name=$2 target=$files/$2 program=$same line
  [[ $tool == *-other ]] && program=$other
  rm -rf "$files" && mkdir -p "$files" && cp "$corpus/$name" "$target"
  printf '%s\r\n' "Z:${target//\//\\}" >"$list"
  case $tool in
    varnex.exe|varnex.exe-other)
      outside_program "$program" "$windows/varnex.exe"
      times[$tool,$name]+="$(dialog_run "$list" "$find" "$replace" 2>/dev/null) " ;;
    in-process|in-process-other)
      rm -rf "$same" "$other" && mkdir -p "$same" "$other"
      idle_disk "$tool"
      line=$(wine "$windows/bench/batch_bench.exe" --program "Z:${program//\//\\}" "Z:${target//\//\\}" \
        "$find" "$replace" 2>/dev/null | tr -d '\r')
      times[$tool,$name]+="${line%% seconds*} "
      peaks[$tool,$name]+="$(sed -n 's/.*peak \([0-9]*\) MiB/\1/p' <<<"$line") " ;;
    bare|bare-other)
      rm -rf "$other" && mkdir -p "$other"
      local keep=()
      [ "$tool" = bare-other ] && keep=(--keep copy "Z:${other//\//\\}")
      idle_disk "$tool"
      line=$(wine "$windows/bench/bare_walk.exe" --rename "${keep[@]}" "Z:${target//\//\\}" "$find" "$replace" \
        2>/dev/null | tr -d '\r')
      times[$tool,$name]+="${line%% seconds*} " ;;
    sd) times[sd,$name]+="$(varnex_seconds sd -s "$find" "$replace" "$target") " ;;
    sed) times[sed,$name]+="$(varnex_seconds sed -i "s/$find/$replace/g" "$target") " ;;
  esac
}

tools=(varnex.exe sd varnex.exe-other sed in-process bare in-process-other bare-other)
names=(big.txt dense.txt)
for run in $(seq "$runs"); do
  for name in "${names[@]}"; do
    for tool in "${tools[@]}"; do measure "$tool" "$name"; done
  done
  echo "run $run of $runs done" >&2
done

m() { echo "${times[$1,$2]}" | varnex_median; }
printf '\n%-17s %14s %14s   (median seconds of %s runs; ratio to sd -s)\n' tool "200 MB sparse" "50 MB dense" "$runs"
for tool in "${tools[@]}"; do
  printf '%-17s' "$tool"
  for name in "${names[@]}"; do
    printf ' %6.2f (%4.2fx)' "$(m "$tool" "$name")" "$(echo "$(m "$tool" "$name") / $(m sd "$name")" | bc -l)"
  done
  [ -n "${peaks[$tool,big.txt]:-}" ] &&
    printf '   peak %s / %s MiB' "$(echo "${peaks[$tool,big.txt]}" | varnex_median)" "$(echo "${peaks[$tool,dense.txt]}" | varnex_median)"
  echo
done
for pair in varnex.exe/bare in-process/bare varnex.exe-other/bare-other in-process-other/bare-other; do
  printf '%-28s' "$pair"
  for name in "${names[@]}"; do
    printf ' %6.2fx' "$(echo "$(m "${pair%/*}" "$name") / $(m "${pair#*/}" "$name")" | bc -l)"
  done
  echo
done
