#!/usr/bin/env bash
# Regenerates the tool bar image strip and the program icon in resources/ from their pixel grids.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" native >/dev/null
"$root/build/native/tools/toolbar-art/toolbar-art" "$root/resources"
