#!/usr/bin/env bash
# A run over 4,000 files in several shapes, four of them over 1 MiB (their
# originals keep a second name in the undo store), killed outright while it
# writes a file, some hundreds of files in. The program started again takes the
# run back with "Undo Last Run...": every file is back byte for byte, nothing
# the run made is left beside the files, the store is gone, and the program
# ends when closed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
count=4000
cut_at=0700
shapes=(crlf lf bom ansi)
for shape in "${shapes[@]}"; do mkdir -p "$work/files/$shape"; done
list="$work/all.list"
for i in $(seq -f '%04g' 1 "$count"); do
  shape=${shapes[$((10#$i % 4))]}
  file="$work/files/$shape/f$i.txt"
  case $shape in
    crlf) printf 'alpha %s\r\nsecond alpha line\r\n' "$i" >"$file" ;;
    lf) printf 'unix alpha %s\nno end alpha' "$i" >"$file" ;;
    bom) printf '\xEF\xBB\xBFcaf\xC3\xA9 alpha %s\r\n' "$i" >"$file" ;;
    ansi) printf 'a\xFF\xFEb alpha %s\r\n\r\n' "$i" >"$file" ;;
  esac
  printf '%s\r\n' "Z:${work//\//\\}\\files\\$shape\\f$i.txt"
done >"$list"
lines() { head -n "$1" < <(yes "$2"); }
# One big file of each shape among the first few hundred, over 1 MiB, and a
# bigger one further on, whose rewrite the kill cuts short.
for i in 0100 0201 0302 0403 "$cut_at"; do
  shape=${shapes[$((10#$i % 4))]}
  file="$work/files/$shape/f$i.txt"
  case $shape in
    crlf) lines 80000 $'alpha big line\r' >"$file" ;;
    lf) lines 80000 'unix alpha big line' >"$file" ;;
    bom) { printf '\xEF\xBB\xBF'; lines 80000 $'caf\xC3\xA9 alpha big line\r'; } >"$file" ;;
    ansi) lines 80000 $'caf\xE9 alpha big line\r' >"$file" ;;
  esac
done
lines 1000000 $'alpha bigger line\r' >"$work/files/${shapes[$((10#$cut_at % 4))]}/f$cut_at.txt"
cp -a "$work/files" "$work/before"
names() { (cd "$1" && find . | sort); }

# kill_program: ends the program outright and waits until its window has gone,
# so that the next start finds its own.
kill_program() {
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true  # bash would say it was killed
  pid=
  wait_window_gone '^Varnex 2\.01$'
}

# Files the run has changed so far, its half-written new files aside.
changed_files() { { grep -rl --exclude='~vnx*' omega "$work/files" 2>/dev/null || true; } | wc -l; }

start_program
load_list "$list"
type_texts alpha omega
xdotool mousemove --window "$main" "$button_x" "$button_y" click 1
wait_window '^Confirmation$' >/dev/null
xdotool key Return  # Yes
# Killed while the run writes the new text of the bigger file, hundreds of
# files in. The store names a linked original by its place in the run (every
# file before it changes); while it holds the bigger file's, the new files
# beside the files are the bigger file's, which takes some milliseconds to
# write, and those of its batch still waiting to go in place.
for _ in $(seq 6000); do
  compgen -G "$work/undo/s*/0000${cut_at}.orig" >/dev/null && compgen -G "$work/files/*/~vnx*.tmp" >/dev/null && break
  sleep 0.005
done
kill_program
compgen -G "$work/files/*/~vnx*.tmp" >/dev/null || fail "the kill came after the bigger file's rewrite"
# Files go in place a batch at a time: those of the batches finished before
# the bigger file's are changed, the rest of the files before it still wait
# beside theirs.
changed=$(changed_files)
(( changed > 0 && changed < 10#$cut_at )) ||
  fail "killed with $changed files changed, not some of the $((10#$cut_at - 1)) before the bigger file"

start_program
undo_last_run "$texts" "$changed"

diff -r -x '~vnx*.tmp' "$work/before" "$work/files" >/dev/null ||
  fail "files differ from before the run: $(diff -rq -x '~vnx*.tmp' "$work/before" "$work/files" | head -3)"
restored=$(grep -c ' restored as it was before the run of ' "$work/varnex.log" || true)
[ "$restored" = "$changed" ] || fail "$restored restored lines in the log, not $changed"
[ ! -e "$work/undo" ] || fail "the undo store is still there: $(ls -R "$work/undo" | head)"
# Whether the program ends and whether the files' folders hold only what they
# held before are told together: either fault says nothing of the other.
# Alt+F4 goes as the end message left the program, as a user presses it.
faults=()
ask_to_close --as-left
if ! ends_within 30; then
  faults+=("the program did not end within 30 s of Alt+F4")
  kill_program
fi
left=$(comm -13 <(names "$work/before") <(names "$work/files") | paste -sd ' ')
[ -z "$left" ] || faults+=("left beside the files: $left")
if [ ${#faults[@]} -gt 0 ]; then
  printf -v all '%s; ' "${faults[@]}"
  fail "${all%; }"
fi
echo "killed after $changed of $count files, then all of them restored byte for byte"
