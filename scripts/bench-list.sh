#!/usr/bin/env bash
# Builds and runs the list benchmarks under Wine: the main window driven from outside (start-up
# and refresh on 10,000 rows against the registry read floor) and the list commands in the window
# (import, deletion of missing rows and the others against their registry floors).
#   scripts/bench-list.sh [RUNS]      RUNS: runs of each benchmark (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-5}
. scripts/wine-env.sh
cmake -S "$root" -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" --log-level=WARNING >/dev/null
cmake --build build/win --target bench_list_window bench_list_commands -j"$(nproc)" >/dev/null
qd_wine_env "$root/build/wineprefix"
qd_display
qd_wineserver
cleanup() { [ "${QD_PRIVATE_DISPLAY:-0}" = 1 ] && kill "$QD_XVFB_PID" 2>/dev/null || true; }
trap cleanup EXIT INT TERM
echo "== The main window from outside (bench_list_window.exe $runs)"
(cd build/win/bench && wine bench_list_window.exe "$runs")
echo "== The list commands in the main window (bench_list_commands.exe $runs)"
wine build/win/bench/bench_list_commands.exe "$runs"
