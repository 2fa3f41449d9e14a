#!/usr/bin/env bash
# Regenerates resources/Silver.ssk: builds the native skin tools, draws the pictures with skinart
# and packs them with skinpack according to resources/skin/silver.skin.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/skin-tools"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target skinart skinpack skindump -j2 >/dev/null
art=$(mktemp -d)
trap 'rm -rf "$art"' EXIT
"$build/tools/skinart/skinart" "$art"
"$build/tools/skinpack/skinpack" --images "$art" "$root/resources/skin/silver.skin.txt" "$root/resources/Silver.ssk"
"$build/tools/skindump/skindump" "$root/resources/Silver.ssk" >/dev/null
