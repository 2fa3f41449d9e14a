#!/usr/bin/env bash
# Builds both builds and runs every test: the native core tests, the same tests built with ASan and
# UBSan, a short fuzz run, the release (scripts/package.sh, the zip and the setup program under
# Wine), then the Windows tests under Wine and Xvfb. Ends with CTest's summary line of the Windows
# build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
. scripts/wine-env.sh

echo "== Native build"
bash scripts/build.sh native
(cd build/native && ctest -j"$(nproc)" --output-on-failure --timeout 300)

echo "== Native build with ASan and UBSan"
bash scripts/build.sh native-asan
(cd build/native-asan && ctest -j"$(nproc)" --output-on-failure --timeout 300)

if [ -f scripts/fuzz.sh ]; then
  echo "== Fuzzing (short run)"
  bash scripts/fuzz.sh "${QD_FUZZ_SECONDS:-10}"
fi

echo "== Windows build"
bash scripts/build.sh win
qd_wine_env "$root/build/wineprefix"
qd_display
qd_wineserver
qd_wine_unmanaged

echo "== Release: scripts/package.sh, the zip and the setup program under Wine"
release_status=0
bash tests/release/package_test.sh || release_status=$?

echo "== Windows tests"
status=0
(cd build/win && ctest -j"$(nproc)" --output-on-failure --timeout 300) || status=$?
[ "$status" -ne 0 ] || status=$release_status
wineserver -k 2>/dev/null || true
[ -n "${QD_XVFB_PID:-}" ] && kill "$QD_XVFB_PID" 2>/dev/null || true
exit $status
