#!/usr/bin/env bash
# at_scale.sh DPI CHECK ARGS...: runs an end-to-end check with the display at
# DPI pixels per inch (144: 150%), in a Wine prefix of its own beside the
# session's. Wine reads the scale when a prefix's server starts, so the
# session's prefix and server, which every other check uses, are left alone.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../cmake/setup.sh"
dpi=$1 check=$2
shift 2

export WINEPREFIX="${WINEPREFIX:?no session prefix}-dpi$dpi"
trap 'wineserver -k >/dev/null 2>&1 || true; wineserver -w; rm -rf "$WINEPREFIX"' EXIT
rm -rf "$WINEPREFIX"
varnex_start_wine
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w
wineserver -p >/dev/null 2>&1
varnex_start_desktop
VARNEX_E2E_DPI=$dpi bash "$check" "$@"
