#!/usr/bin/env bash
# Builds Varnex and starts it under Wine in a real window. Without a display it
# starts a virtual one, says so, and saves a screenshot of the program.
set -euo pipefail
source "$(dirname "$0")/cmake/setup.sh"

varnex_install_missing
varnex_build_windows

trap 'varnex_stop_session' EXIT
if [ -z "${DISPLAY:-}" ]; then
  varnex_start_display
  echo "No display found: started Xvfb on DISPLAY=$DISPLAY"
  headless=1
fi
varnex_wine_environment "$VARNEX_ROOT/build/wine-prefix"
varnex_start_wine

program="$VARNEX_ROOT/build/windows/varnex.exe"
if [ -z "${headless:-}" ]; then
  wine "$program"
  exit
fi
# No window manager draws title bars on a bare virtual display: a Wine desktop
# window does, so the picture shows the program as a user sees it.
wine explorer /desktop=Varnex,1280x1024 "$program" >/dev/null 2>&1 &
desktop=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Varnex - Wine desktop$' >/dev/null
timeout 60 xdotool search --sync --name '^Varnex 2\.01$' >/dev/null
sleep 1  # let the window paint before the picture is taken
shot="$VARNEX_ROOT/build/varnex-screenshot.png"
import -window root "$shot"
echo "Varnex is running on DISPLAY=$DISPLAY; screenshot saved to $shot (Ctrl+C ends it)"
wait "$desktop"
