#!/usr/bin/env bash
# Configures and builds one of the builds: "win" (cross-compiled, build/win), "native"
# (build/native) or "native-asan" (the native build with ASan and UBSan, build/native-asan).
# Extra arguments go to cmake's configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?usage: build.sh win|native|native-asan [cmake args]}
shift
dir="$root/build/$kind"
case "$kind" in
  win) cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" "$@" >/dev/null ;;
  native) cmake -S "$root" -B "$dir" "$@" >/dev/null ;;
  native-asan) cmake -S "$root" -B "$dir" -DQD_SANITIZE=ON "$@" >/dev/null ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
cmake --build "$dir" -j"$(nproc)"
