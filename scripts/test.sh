#!/usr/bin/env bash
# Builds both builds and runs every test: the native core tests, the same tests built with ASan and
# UBSan, a short fuzz run, the Windows tests under Wine and Xvfb, then the release (scripts/package.sh,
# the zip and the setup program under Wine). Ends with CTest's summary line of the Windows build.
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

echo "== Windows tests"
status=0
ctest_log="$root/build/win/ctest-summary.log"
(cd build/win && ctest -j"$(nproc)" --output-on-failure --timeout 300) | tee "$ctest_log" || status=$?
wineserver -k 2>/dev/null || true

# After the Windows tests: once the installer's Wine prefix has ended, every Wine process that made
# a window on the same machine took about a second longer to end, which tripled the Windows tests.
echo "== Release: scripts/package.sh, the zip and the setup program under Wine"
release_status=0
bash tests/release/package_test.sh || release_status=$?
[ "$status" -ne 0 ] || status=$release_status
[ -n "${QD_XVFB_PID:-}" ] && kill "$QD_XVFB_PID" 2>/dev/null || true

echo "== Windows tests (summary)"
grep -E "tests passed|tests failed" "$ctest_log" | tail -1 || true
exit $status
