#!/usr/bin/env bash
# Builds the program and runs it under Wine. Without a display it starts a private Xvfb, saves a
# screenshot of the started program and keeps running until stopped (Ctrl+C).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
. scripts/wine-env.sh
bash scripts/build.sh win --log-level=WARNING >/dev/null
qd_wine_env "$root/build/wineprefix-run"
qd_display
exe="$root/build/win/app/Quiverdir.exe"

cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${QD_XVFB_PID:-}" ] && kill "$QD_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

wine "$exe" &
app=$!
if [ "$QD_PRIVATE_DISPLAY" = 1 ]; then
  shot="$root/build/screenshot.png"
  for _ in $(seq 1 100); do
    xdotool search --class quiverdir.exe >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 1.5
  import -display "$DISPLAY" -window root "$shot"
  echo "Quiverdir is running on the private display $DISPLAY (no screen of its own)."
  echo "Screenshot of the started program: $shot"
  echo "To look at it live: DISPLAY=$DISPLAY x11vnc -localhost (or another X client). Ctrl+C stops it."
fi
wait "$app"
