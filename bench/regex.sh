#!/usr/bin/env bash
# Regular-expression runs against literal ones and against the command-line
# tools, on fresh copies of the generated corpus on tmpfs. Varnex is the real
# varnex.exe timed from outside as a user waits for it (bench/outside.sh: the
# list loaded, the texts typed, "Replace All Now" answered Yes; from the
# question gone to the results on the screen), the option turned on through
# settings.ini in its program folder as a user's earlier choice would leave it.
#   tree       the ~20,000 files: the literal run (varnexneedle) against a
#              pattern that finds the same places (varnexne+dle);
#   big.txt    the 200 MB file, which holds no date: the date pattern only
#              searched for;
#   dates.txt  the same file with every seventh line's first "delta" a date,
#              about 270,000 of them replaced.
# The file sets run (\d{4})-(\d{2})-(\d{2}) -> $3.$2.$1 in Varnex, perl -pi and
# sd; besides seconds, each tool's peak memory (Varnex's process's peak
# resident size, the others' from GNU time).
# Usage: bench/regex.sh [RUNS]   (default 3)
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
runs=${1:-3}
date_find='(\d{4})-(\d{2})-(\d{2})'
date_replace='$3.$2.$1'

varnex_install_missing sd bc time
varnex_build_windows >/dev/null

varnex_bench_corpus
corpus=$VARNEX_CORPUS
dates=/dev/shm/varnex-regex-dates
mkdir -p "$dates"
[ -f "$dates/dates.txt" ] || perl -pe 's/\bdelta\b/2024-05-17/ if $. % 7 == 0' "$corpus/big.txt" >"$dates/dates.txt"
varnex_bench_session
source "$VARNEX_ROOT/bench/outside.sh"
work_files=/dev/shm/varnex-regex-work
program=/dev/shm/varnex-regex-program
trap 'cleanup; varnex_stop_session; rm -rf "$work_files" "$work_files.time" "$program" "$program.list"' EXIT
# Prints "seconds peak-MiB" for the program's run over TARGET (a file or a
# folder), the option as asked.
varnex_run() {  # True|False target find replace
  outside_program "$program" "$VARNEX_ROOT/build/windows/varnex.exe"
  printf '[Options]\r\nRegularExpression=%s\r\n' "$1" >"$work/settings.ini"
  find "$2" -type f | sort | sed 's|/|\\|g; s|^|Z:|; s|$|\r|' >"$program.list"
  local seconds
  seconds=$(dialog_run "$program.list" "$3" "$4" 2>/dev/null)
  echo "$seconds $(cat "$work/peak-mib")"
}
timed() {  # command... -> "seconds peak-MiB"
  local out
  /usr/bin/time -f '%e %M' -o "$work_files.time" "$@" >/dev/null 2>&1
  out=$(tail -1 "$work_files.time")
  echo "${out% *} $(( ${out#* } / 1024 ))"
}
run_tool() {  # tool set target
  local tool=$1 set=$2 target=$3
  case $tool,$set in
    literal,tree) varnex_run False "$target" varnexneedle replacedtext ;;
    regex,tree) varnex_run True "$target" 'varnexne+dle' replacedtext ;;
    regex,*) varnex_run True "$target" "$date_find" "$date_replace" ;;
    perl,*) timed perl -pi -e "s/$date_find/$date_replace/g" "$target" ;;
    sd,*) timed sd "$date_find" "$date_replace" "$target" ;;
  esac
}

declare -A seconds memory
sets=(tree big.txt dates.txt)
for run in $(seq "$runs"); do
  for set in "${sets[@]}"; do
    if [ "$set" = tree ]; then tools=(literal regex); else tools=(regex perl sd); fi
    for tool in "${tools[@]}"; do
      source_dir=$corpus
      [ "$set" = dates.txt ] && source_dir=$dates
      rm -rf "$work_files" && mkdir -p "$work_files" && cp -a "$source_dir/$set" "$work_files/"
      read -r s m < <(run_tool "$tool" "$set" "$work_files/$set")
      seconds[$tool,$set]+="$s "
      memory[$tool,$set]+="$m "
    done
  done
  echo "run $run of $runs done" >&2
done

printf '\n%-8s %-10s %9s %9s   (medians of %s runs; ratio to the anchor: literal for the tree, sd for the files)\n' \
  tool set seconds "peak MiB" "$runs"
for set in "${sets[@]}"; do
  if [ "$set" = tree ]; then tools=(literal regex); anchor=literal; else tools=(regex perl sd); anchor=sd; fi
  base=$(echo "${seconds[$anchor,$set]}" | varnex_median)
  for tool in "${tools[@]}"; do
    s=$(echo "${seconds[$tool,$set]}" | varnex_median)
    m=$(echo "${memory[$tool,$set]}" | varnex_median)
    printf '%-8s %-10s %9.2f %9.0f   (%.2fx)\n' "$tool" "$set" "$s" "$m" "$(echo "$s / $base" | bc -l)"
  done
done
