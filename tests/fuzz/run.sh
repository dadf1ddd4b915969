#!/usr/bin/env bash
# Runs the fuzz targets of the test stage for longer: SECONDS each (default
# 600), with SEED (default 0: a fresh one, printed in each log), growing a
# corpus in build/fuzz-corpus that later runs start from.
#   tests/fuzz/run.sh [SECONDS] [SEED]
set -euo pipefail
source "$(dirname "$0")/../../cmake/setup.sh"

seconds=${1:-600}
seed=${2:-0}
varnex_install_missing
varnex_build_fuzz
varnex_fuzz "$seconds" "$VARNEX_ROOT/build/fuzz-corpus" "$seed"
