#!/usr/bin/env bash
# Configures and builds one of the two builds: "win" (cross-compiled, build/win) or "native"
# (build/native). Extra arguments go to cmake's configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?usage: build.sh win|native [cmake args]}
shift
dir="$root/build/$kind"
case "$kind" in
  win) cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" "$@" >/dev/null ;;
  native) cmake -S "$root" -B "$dir" "$@" >/dev/null ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
cmake --build "$dir" -j"$(nproc)"
