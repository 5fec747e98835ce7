#!/usr/bin/env bash
# Builds the record buffer benchmark (Release, own build folder) and runs it:
# appending records of an integer, a 30-character string and a 100-byte memo, then clearing
# them all. Prints the rates and the peak memory; fails when the peak exceeds 1.5 times the
# records plus memo bytes.
#   bench/buffer.sh [records]   (default 1,000,000)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(pwd)/build-bench-buffer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULIX_BENCH=ON \
  -DTABULIX_TESTS=OFF -DTABULIX_GUI=OFF >/dev/null
if ! cmake --build "$build" --target buffer_bench -j2 >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log" >&2
  exit 1
fi
"$build/bench/buffer_bench" "${1:-1000000}"
