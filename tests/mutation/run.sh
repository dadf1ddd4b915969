#!/usr/bin/env bash
# Mutation check: plants each mistake of a mutant list, one at a time, in a
# scratch copy of the tree, rebuilds the suite's tests there and runs them. A
# mutant the tests let pass "survives": a fault they would not catch.
#
#   tests/mutation/run.sh [--suite core|windows] [--list FILE] [--only ID]... [--timeout SECONDS] [--check]
#
# --suite picks the build and the tests (default core: the platform-free core,
# natively with sanitizers, ctest's core_tests; windows: the cross-compiled
# program's tests of the mutated file's folder, run/ by run_tests and so on,
# straight under Wine and up to their first failure) and its list,
# tests/mutation/SUITE.txt; --list reads another list; --only runs the named
# mutants alone. --timeout bounds one run of the tests; a mutant that makes
# them hang past it counts as killed. The copy and its build stay in
# build/mutation/SUITE, so a later run only rebuilds what changed: the mutated
# file and the one test program that links it.
# --check only makes sure every mutant can be planted, without building.
# Takes minutes, not seconds: it is not part of test.sh.
#
# The list is made of blocks (see core.txt):
#   mutant ID FILE          FILE relative to the top of the tree
#   why: the mistake it stands for
#   tests: PROGRAM          optional: the test program that covers FILE where it
#                           is not its folder's (a floor tested through its users)
#   - original text         one or more lines; must occur exactly once in FILE
#   + replacement text
#   equivalent: reason      optional: behaves like the original; left out of the score
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true  # "&" in a replacement is plain text
source "$(dirname "$0")/../../cmake/setup.sh"

suite=core
list=
timeout=
only=()
checkOnly=0
while [ $# -gt 0 ]; do
  case $1 in
    --suite) suite=$2; shift 2 ;;
    --list) list=$2; shift 2 ;;
    --only) only+=("$2"); shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    --check) checkOnly=1; shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

scratch="$VARNEX_ROOT/build/mutation/$suite"
copy="$scratch/src"
build="$scratch/build"
case $suite in
  core)
    configure=(-DVARNEX_SANITIZE=ON)
    runTime=20  # a second when nothing is wrong
    ;;
  windows)
    configure=(-DCMAKE_TOOLCHAIN_FILE="$copy/cmake/mingw-w64.cmake")
    runTime=150  # run_tests, the slowest, takes about 50 s when nothing is wrong
    ;;
  *) echo "unknown suite: $suite" >&2; exit 2 ;;
esac
list=${list:-"$VARNEX_ROOT/tests/mutation/$suite.txt"}
timeout=${timeout:-$runTime}
[ -f "$list" ] || { echo "no mutant list: $list" >&2; exit 2; }

# --- the list -----------------------------------------------------------------
ids=() files=() whys=() originals=() replacements=() equivalents=() programs=()
add_mutant() {  # id file why original replacement equivalent program
  ids+=("$1") files+=("$2") whys+=("$3") originals+=("$4") replacements+=("$5") equivalents+=("$6") programs+=("$7")
}
read_list() {
  local line id= file= why= original= replacement= equivalent= program= have=0 lineNo=0
  local newline=$'\n'
  flush() {
    [ $have -eq 1 ] || return 0
    if [ -z "$original" ] || [ -z "$file" ]; then
      echo "$list: mutant $id lacks a file or an original text" >&2; exit 2
    fi
    case " ${ids[*]} " in *" $id "*) echo "$list: mutant $id twice" >&2; exit 2 ;; esac
    add_mutant "$id" "$file" "$why" "${original#"$newline"}" "${replacement#"$newline"}" "$equivalent" "$program"
  }
  while IFS= read -r line || [ -n "$line" ]; do
    lineNo=$((lineNo + 1))
    case $line in
      '#'*|'') ;;
      'mutant '*)
        flush
        read -r _ id file <<<"$line"
        why= original= replacement= equivalent= program= have=1 ;;
      'why: '*) why=${line#why: } ;;
      'equivalent: '*) equivalent=${line#equivalent: } ;;
      'tests: '*) program=${line#tests: } ;;
      '-'*) original+="$newline${line:2}" ;;
      '+'*) replacement+="$newline${line:2}" ;;
      *) echo "$list:$lineNo: not understood: $line" >&2; exit 2 ;;
    esac
  done <"$list"
  flush
}
read_list
selected() {
  [ ${#only[@]} -eq 0 ] && return 0
  local wanted
  for wanted in "${only[@]}"; do [ "$wanted" = "$1" ] && return 0; done
  return 1
}

# --- the scratch copy ---------------------------------------------------------
# Tracked and new files of the work tree; only those that differ are copied, so
# the build there stays incremental across runs.
sync_copy() {
  local path
  mkdir -p "$copy"
  while IFS= read -r path; do
    [ -f "$VARNEX_ROOT/$path" ] || continue
    if ! cmp -s "$VARNEX_ROOT/$path" "$copy/$path"; then
      mkdir -p "$(dirname "$copy/$path")"
      cp "$VARNEX_ROOT/$path" "$copy/$path"
    fi
  done < <(git -C "$VARNEX_ROOT" ls-files --cached --others --exclude-standard)
}

# Sets `mutated` to the work tree's file with mutant i planted; fails when the
# original text is not there exactly once, which is a mistake of the list.
mutate() {
  local i=$1 content rest
  [ -f "$VARNEX_ROOT/${files[i]}" ] || return 1
  IFS= read -r -d '' content <"$VARNEX_ROOT/${files[i]}" || true
  case $content in *"${originals[i]}"*) ;; *) return 1 ;; esac
  rest=${content#*"${originals[i]}"}
  case $rest in *"${originals[i]}"*) return 1 ;; esac
  mutated=${content/"${originals[i]}"/"${replacements[i]}"}
  [ "$mutated" != "$content" ]
}
plant() { mutate "$1" && printf '%s' "$mutated" >"$copy/${files[$1]}"; }
restore() { cp "$VARNEX_ROOT/$1" "$copy/$1"; }  # a fresh time stamp: the next build recompiles it

# The test program that covers mutant i: the core's for the core; for the
# Windows program the one its block names, else the in-process tests of its
# file's folder (tests/windows.cmake names them so), as the end-to-end checks
# are too slow for this.
tests_of() {
  if [ "$suite" = core ]; then echo core_tests
  elif [ -n "${programs[$1]}" ]; then echo "${programs[$1]}"
  else local file=${files[$1]}; echo "${file%%/*}_tests"; fi
}

# Two jobs at most: the machine is shared.
build_tests() { cmake --build "$build" --parallel 2 --target "$@" >"$scratch/build.log" 2>&1; }
run_tests() {  # target
  if [ "$suite" = core ]; then
    ctest --test-dir "$build" -R "^$1\$" --timeout "$timeout" >"$scratch/test.log" 2>&1
    return
  fi
  # Straight under Wine, without CTest: Wine's desktop process, started by the
  # tests, would hold CTest's output pipe for twenty seconds after them.
  local status=0
  timeout --kill-after=10 "$timeout" wine "$build/tests/$1.exe" --gtest_fail_fast >"$scratch/test.log" 2>&1 ||
    status=$?
  case $status in
    124|137) echo "Timeout: still running after $timeout s" >>"$scratch/test.log" ;;
  esac
  return $status
}

# --- the run ------------------------------------------------------------------
check_list() {
  local i bad=0
  for i in "${!ids[@]}"; do
    mutate "$i" || { echo "LIST ERROR ${ids[i]} (${files[i]})"; bad=$((bad + 1)); }
  done
  echo "${#ids[@]} mutants, $bad that cannot be planted"
  [ $bad -eq 0 ]
}

main() {
  local start loopStart i label verdict target killed=0 counted=0 tried=0 listErrors=0 survivors=() equivalentLines=() targets=()
  start=$(date +%s)
  [ $checkOnly -eq 1 ] && { check_list; return; }
  varnex_install_missing
  sync_copy
  if [ "$suite" = windows ]; then
    trap 'varnex_stop_session' EXIT
    varnex_start_display
    varnex_wine_environment "$scratch/wine-prefix"
    varnex_start_wine
  fi
  cmake -S "$copy" -B "$build" -G Ninja "${configure[@]}" >/dev/null
  for i in "${!ids[@]}"; do
    selected "${ids[i]}" || continue
    target=$(tests_of "$i")
    case " ${targets[*]} " in *" $target "*) ;; *) targets+=("$target") ;; esac
  done
  [ ${#targets[@]} -gt 0 ] || { echo "no mutant selected" >&2; return 2; }
  echo "== $suite: ${#ids[@]} mutants from ${list#"$VARNEX_ROOT/"}; tests: ${targets[*]} in ${build#"$VARNEX_ROOT/"}"
  build_tests "${targets[@]}" || { echo "the unchanged copy does not build: $scratch/build.log" >&2; return 2; }
  for target in "${targets[@]}"; do
    run_tests "$target" || { echo "the unchanged copy fails $target: $scratch/test.log" >&2; return 2; }
  done
  loopStart=$(date +%s)

  for i in "${!ids[@]}"; do
    selected "${ids[i]}" || continue
    label="${ids[i]} (${files[i]}): ${whys[i]}"
    target=$(tests_of "$i")
    tried=$((tried + 1))
    if ! plant "$i"; then
      printf '%-16s %s\n' "LIST ERROR" "$label: the original text is not in the file exactly once"
      listErrors=$((listErrors + 1))
      continue
    fi
    if ! build_tests "$target"; then
      verdict="NO BUILD"  # a mutant must compile to mean anything
      listErrors=$((listErrors + 1))
      cp "$scratch/build.log" "$scratch/nobuild-${ids[i]}.log"
    elif run_tests "$target"; then
      verdict=survived
    elif grep -q 'Timeout' "$scratch/test.log"; then
      verdict="killed (timeout)"
    else
      verdict=killed
    fi
    restore "${files[i]}"
    if [ -n "${equivalents[i]}" ]; then
      # An equivalent mutant that gets killed means the reason given is wrong.
      if [ "$verdict" = survived ]; then
        printf '%-16s %s\n' "equivalent" "$label"
        equivalentLines+=("${ids[i]} (${files[i]}): ${equivalents[i]}")
      else
        printf '%-16s %s\n' "NOT EQUIVALENT" "$label ($verdict)"
        equivalentLines+=("${ids[i]} (${files[i]}): ${equivalents[i]} -- yet $verdict")
        listErrors=$((listErrors + 1))
      fi
      continue
    fi
    printf '%-16s %s\n' "$verdict" "$label"
    [ "$verdict" = "NO BUILD" ] && continue
    counted=$((counted + 1))
    case $verdict in
      killed*) killed=$((killed + 1)) ;;
      *) survivors+=("$label") ;;
    esac
  done
  build_tests "${targets[@]}" || true  # leaves the copy's build as the work tree has it

  echo
  [ $counted -gt 0 ] &&
    echo "Score: $killed of $counted killed ($((100 * killed / counted))%), ${#equivalentLines[@]} equivalent left out"
  if [ ${#survivors[@]} -gt 0 ]; then
    echo "Survivors:"
    printf '  %s\n' "${survivors[@]}"
  fi
  if [ ${#equivalentLines[@]} -gt 0 ]; then
    echo "Equivalent:"
    printf '  %s\n' "${equivalentLines[@]}"
  fi
  echo "Took $(($(date +%s) - start)) s; $((($(date +%s) - loopStart) / (tried > 0 ? tried : 1))) s per mutant after the first build and run"
  [ $listErrors -eq 0 ] || { echo "$listErrors mutants could not be planted, built or judged: fix the list" >&2; return 2; }
}

# Bash reads a script as it runs it; a function, like a line, is read whole
# first, so this file may be edited while a run is under way.
main; exit
