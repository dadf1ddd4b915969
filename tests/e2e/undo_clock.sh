#!/usr/bin/env bash
# Two runs, the first with the clock an hour ahead (as after a time zone or
# daylight saving slip, or another copy's clock), the second with the right
# one; Undo Last Run takes back the second: its file byte for byte as before
# it, the first run's file as that run left it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_program "$1"
texts=$2  # prints a window's control texts
faketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -f "$faketime" ] || fail "faketime is not installed"
mkdir -p "$work/files"
printf 'first alpha\r\n' >"$work/files/first.txt"
printf 'second alpha\r\n' >"$work/files/second.txt"
for name in first second; do file_list "$work/$name.list" "$name"; done

# The wine server keeps the clock for its programs: it runs under the same
# clock as the program, and is ended after it.
wineserver -k >/dev/null 2>&1 || true
LD_PRELOAD=$faketime FAKETIME="+1h" FAKETIME_DONT_RESET=1 NO_FAKE_STAT=1 start_program
load_list "$work/first.list"
type_texts alpha ahead
run_and_read_results
close_program --as-left
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

start_program
load_list "$work/second.list"
type_texts alpha now
run_and_read_results
undo_last_run "$texts" 1
close_program --as-left

[ "$(cat "$work/files/second.txt")" = $'second alpha\r' ] || fail "the second run's file is not as before it"
[ "$(cat "$work/files/first.txt")" = $'first ahead\r' ] || fail "the first run's file is not as that run left it"
echo "the run under the right clock was taken back, the one an hour ahead left as it was"
