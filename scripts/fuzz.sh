#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS each (default 60) on a scratch copy of its committed
# seed corpus, in a clang build with ASan and UBSan (build/fuzz). Fails when a target reports a
# crash, a sanitizer error, a timeout or running out of memory; the reproducer is left in
# build/fuzz/artifacts/<target>/. Set QD_FUZZ_KEEP=1 to keep the grown corpus in build/fuzz/runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir="$root/build/fuzz"
targets=(fuzz_inflate fuzz_inflate_zlib fuzz_skin_file)

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

# Configuring an existing build directory again takes a second and makes targets added since the
# last run known to the build tool; the build step then only rebuilds what changed.
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DQD_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2
cmake --build "$dir" --target "${targets[@]}" -j"$jobs" >/dev/null

status=0
for target in "${targets[@]}"; do
  run="$dir/runs/$target"
  artifacts="$dir/artifacts/$target"
  rm -rf "$run"
  mkdir -p "$run" "$artifacts"
  cp "$root/fuzz/corpus/$target/"* "$run/" 2>/dev/null || true
  log="$dir/runs/$target.log"
  echo "fuzz: $target for ${seconds}s"
  if "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$artifacts/" "$run" </dev/null >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$log" | tail -2 || true
  else
    status=1
    echo "fuzz: $target FAILED; log $log, reproducer in $artifacts" >&2
    tail -40 "$log" >&2
  fi
  [ "${QD_FUZZ_KEEP:-0}" = 1 ] || rm -rf "$run"
done
exit $status
