# Shared by start.sh, test.sh and the benchmarks: installs what is missing,
# builds, and brings up a virtual display and a Wine session. Source it.

VARNEX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VARNEX_PACKAGES=(cmake ninja-build g++ googletest libbenchmark-dev libboost1.81-dev
                 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
                 wine wine64 fonts-wine xvfb x11-utils xdotool xclip imagemagick
                 faketime clang)  # clang-14 depends on libclang-rt-14-dev, which holds libFuzzer

varnex_install_missing() {
  local missing=() package
  for package in "${VARNEX_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# varnex_build DIR [cmake options...]
varnex_build() {
  local dir=$1
  shift
  cmake -S "$VARNEX_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}

varnex_build_windows() {
  varnex_build "$VARNEX_ROOT/build/windows" -DCMAKE_TOOLCHAIN_FILE="$VARNEX_ROOT/cmake/mingw-w64.cmake"
}

varnex_build_native() {
  varnex_build "$VARNEX_ROOT/build/native" -DVARNEX_SANITIZE=ON
}

varnex_build_fuzz() {
  CC=clang CXX=clang++ varnex_build "$VARNEX_ROOT/build/fuzz" -DVARNEX_FUZZ=ON -DBUILD_TESTING=OFF
}

# varnex_fuzz SECONDS CORPUS [SEED]: runs every fuzz target (one per folder of
# tests/fuzz/seeds) for SECONDS from its seeds, adding what it finds to
# CORPUS/<target>; SEED 0 draws a fresh one. Each target's output goes to
# build/fuzz/logs, an input that broke a property to build/fuzz/artifacts.
# Fails when any target fails.
varnex_fuzz() {
  local seconds=$1 corpus=$2 seed=${3:-1} status=0 seeds target log
  local fuzz="$VARNEX_ROOT/build/fuzz"
  mkdir -p "$fuzz/logs" "$fuzz/artifacts"
  for seeds in "$VARNEX_ROOT"/tests/fuzz/seeds/*/; do
    target=$(basename "$seeds")
    mkdir -p "$corpus/$target"
    log="$fuzz/logs/$target.log"
    if "$fuzz/tests/fuzz/fuzz_$target" -seed="$seed" -max_total_time="$seconds" -timeout=10 \
         -artifact_prefix="$fuzz/artifacts/$target-" "$corpus/$target" "$seeds" \
         >"$log" 2>&1; then
      echo "fuzz_$target: $(grep -m1 '^Done' "$log")"
    else
      echo "fuzz_$target FAILED (whole output in $log):"
      grep -m1 -E 'property broken|runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)' "$log" || true
      grep -E '^(SUMMARY|artifact_prefix|Base64)' "$log" || true
      status=1
    fi
  done
  return $status
}

# Starts Xvfb on a free display and exports DISPLAY.
varnex_start_display() {
  local numberFile
  numberFile=$(mktemp)
  # -noreset: otherwise the server resets (pointer included) whenever its last client leaves.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numberFile" >/dev/null 2>&1 &
  VARNEX_XVFB_PID=$!
  for _ in $(seq 200); do
    [ -s "$numberFile" ] && break
    sleep 0.05
  done
  [ -s "$numberFile" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(tr -d '\n' <"$numberFile")"
  rm -f "$numberFile"
  varnex_park_pointer
}

# A fresh X server puts its pointer at the centre of the screen, where every
# centred window opens; Wine would send such a window a real mouse move. The
# bottom right corner is out of every window's way.
varnex_park_pointer() {
  local width height
  read -r width height < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) .*/\1 \2/p')
  xdotool mousemove "$((width - 1))" "$((height - 1))"
}

varnex_wine_environment() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
}

# Creates the prefix if needed and keeps one wine server alive for all the
# programs that follow. Neither wineboot nor the server may write into a pipe:
# the server outlives them and would hold it open.
varnex_start_wine() {
  mkdir -p "$WINEPREFIX"
  # A server the prefix still has from a session that ended by force (it
  # answers 2 to another -p) serves this one as well.
  wineserver -p >/dev/null 2>&1 || [ $? = 2 ]
  # wineboot also starts the prefix's services; started later by a test, they
  # would hold CTest's output pipe open and keep it waiting.
  if [ -f "$WINEPREFIX/system.reg" ]; then wineboot >/dev/null 2>&1; else wineboot -i >/dev/null 2>&1; fi
  # Debian's Wine does not always find the fonts it ships (the title-bar glyphs
  # of Marlett among them); the prefix's own font folder always works.
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  varnex_unmanaged_test_windows
}

# Without a window manager, Wine blocks a program ~2 s whenever one of its
# captioned windows is hidden (every dialog that closes), waiting for a manager
# that never answers. The in-process test programs open and close hundreds of
# windows, so their windows are left unmanaged: Wine then maps and unmaps them
# itself. varnex.exe keeps the default, so the end-to-end tests and the
# benchmarks see the program as users run it.
varnex_unmanaged_test_windows() {
  local registry suite
  registry=$(mktemp --suffix=.reg)
  echo REGEDIT4 >"$registry"
  for suite in run filelist pickers framework forms; do
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s_tests.exe\\X11 Driver]\n"Managed"="N"\n' \
      "$suite" >>"$registry"
  done
  wine regedit /S "$(winepath -w "$registry")" >/dev/null 2>&1
  rm -f "$registry"
}

# Wine starts its desktop process with the first window of a session and ends
# it some twenty seconds after the last. Started by a test, it inherits that
# test's output and keeps CTest waiting until it ends; started here, detached,
# it serves the whole session.
varnex_start_desktop() {
  wine explorer.exe /desktop >/dev/null 2>&1 &
}

varnex_stop_session() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "${VARNEX_XVFB_PID:-}" ] && kill "$VARNEX_XVFB_PID" 2>/dev/null || true
}

# For the benchmarks: the generated corpus on tmpfs (made once), a Wine session
# of their own, and a timer for native commands.
VARNEX_CORPUS=/dev/shm/varnex-corpus
varnex_bench_corpus() {
  [ -f "$VARNEX_CORPUS/dense.txt" ] && return 0
  varnex_build "$VARNEX_ROOT/build/bench" -DVARNEX_SANITIZE=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  rm -rf "$VARNEX_CORPUS"
  "$VARNEX_ROOT/build/bench/bench/make_corpus" "$VARNEX_CORPUS"
}

varnex_bench_session() {
  varnex_start_display
  varnex_wine_environment "$VARNEX_ROOT/build/wine-bench-prefix"
  varnex_start_wine
}

# varnex_seconds COMMAND...: runs it and prints its wall time in seconds.
varnex_seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

# varnex_median: the median of the numbers on standard input, blank-separated.
varnex_median() { tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
