#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and gives each a bounded run.
# Usage: scripts/fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-8}"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLITCHFORGE_LOGIC_ONLY=ON -DGLITCHFORGE_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" > /dev/null
cmake --build build-fuzz -j2
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  echo "-- $(basename "$target") for ${seconds}s"
  corpus=$(mktemp -d)
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
  rm -rf "$corpus"
done
