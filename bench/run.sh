#!/usr/bin/env bash
# Builds the native benchmarks without sanitizers and runs them; extra
# arguments go to Google Benchmark (for example --benchmark_filter=Replace).
set -euo pipefail
source "$(dirname "$0")/../cmake/setup.sh"
varnex_install_missing
varnex_build "$VARNEX_ROOT/build/bench" -DVARNEX_SANITIZE=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release
"$VARNEX_ROOT/build/bench/bench/engine_bench" "$@"
