#!/usr/bin/env bash
# Builds both targets and runs every test: the platform-free core natively under
# AddressSanitizer and UBSan, a minute of libFuzzer over the core, then the
# Windows program's tests under Wine on a virtual display of their own, in a
# fresh Wine prefix.
set -euo pipefail
source "$(dirname "$0")/cmake/setup.sh"

varnex_install_missing
varnex_build_native
varnex_build_fuzz
varnex_build_windows

prefix="$VARNEX_ROOT/build/wine-test-prefix"
trap 'varnex_stop_session; rm -rf "$prefix"' EXIT
rm -rf "$prefix"
varnex_start_display
varnex_wine_environment "$prefix"
varnex_start_wine

status=0
echo "== Platform-free core, native with sanitizers"
ctest --test-dir "$VARNEX_ROOT/build/native" --output-on-failure || status=1
# From the seeds alone with a fixed random seed: every run takes the same path
# and only gets further on a faster machine.
echo "== Platform-free core under libFuzzer, 10 s per target"
rm -rf "$VARNEX_ROOT/build/fuzz/stage-corpus"
varnex_fuzz 10 "$VARNEX_ROOT/build/fuzz/stage-corpus" || status=1
echo "== Windows program under Wine (DISPLAY=$DISPLAY)"
varnex_start_desktop
ctest --test-dir "$VARNEX_ROOT/build/windows" --output-on-failure || status=1
exit $status
