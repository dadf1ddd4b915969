#!/usr/bin/env bash
# A run on a volume all but full: the program, its undo store, its log and the
# files on a small tmpfs, a filler taking all but a megabyte. The small files
# go through; the big one in their middle fails for want of room, and its
# failure is told. Once the filler is gone, Undo Last Run gives every file back
# byte for byte. Where this shell may not mount a tmpfs, it says why and passes.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
before=$(mktemp -d -p /tmp)
unmount_volume() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  pid=
  if mountpoint -q "$work"; then umount "$work" 2>/dev/null || umount -l "$work"; fi
  rm -rf "$before"
  cleanup
}
trap unmount_volume EXIT
if ! refusal=$(mount -t tmpfs -o size=48m tmpfs "$work" 2>&1); then
  echo "skipped: no small volume could be mounted here ($refusal)"
  exit 0
fi
install_program "$1"
texts=$2  # prints a window's control texts
mkdir -p "$work/files"
names=()
for i in $(seq -w 1 20); do
  [ "$i" = 11 ] && names+=(big)
  names+=("f$i")
done
for name in "${names[@]}"; do
  lines=100
  [ "$name" = big ] && lines=120000
  for line in $(seq "$lines"); do printf 'alpha %s line %d\r\n' "$name" "$line"; done >"$work/files/$name.txt"
done
file_list "$work/all.list" "${names[@]}"
cp -a "$work/files/." "$before/"

start_program
load_list "$work/all.list"
type_texts alpha omega
free=$(df -B1 --output=avail "$work" | tail -n 1)
head -c $((free - (1 << 20))) /dev/zero >"$work/filler"

# Every box the run puts up (a file that failed, the undo store that could not
# keep an original) is read and closed, until the results come.
xdotool mousemove --window "$main" "$button_x" "$button_y" click 1
wait_window '^Confirmation$' >/dev/null
xdotool key Return  # Yes
told= results=
for _ in $(seq 1500); do
  results=$(find_window '^Results\.\.\.$' 1) && break
  find_window '^Varnex$' 1 >/dev/null || continue
  told+=$(wine "$texts" 'Varnex' | tr -d '\r')$'\n'
  xdotool key Return
  wait_window_gone '^Varnex$'
done
[ -n "$results" ] || fail "the results never came; the boxes said: $told"
shown=$(wine "$texts" 'Results...' | tr -d '\r')
xdotool key --window "$results" Escape
wait_window_gone '^Results\.\.\.$'
grep -qF "Cannot open file $(windows_path "$work/files/big.txt")." <<<"$told" || fail "the boxes said: $told"
grep -qxF "The disk is full." <<<"$told" || fail "no box gave the full disk as the reason: $told"
grep -qF "could not be processed." <<<"$shown" || fail "the results said: $shown"
compgen -G "$work/undo/s*/journal.txt" >/dev/null || fail "no undo store on the full volume"
changed=$({ diff -rq "$before" "$work/files" || true; } | wc -l)
[ "$changed" -gt 0 ] || fail "the run changed no file"

rm "$work/filler"
undo_last_run "$texts" "$changed"
close_program --as-left
diff -r "$before" "$work/files" >/dev/null || fail "files differ from before the run: $(diff -rq "$before" "$work/files" | head -3)"
echo "$changed files changed on a full volume, one failing for want of room, and every one given back by the undo"
