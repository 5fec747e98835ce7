#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while.
# FUZZ_SECONDS sets the time per target (default: 60 s for the SQL text functions, 30 s for
# each table reader).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-fuzz"

CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTABULIX_FUZZ=ON \
  -DTABULIX_TESTS=OFF -DTABULIX_GUI=OFF -DTABULIX_WERROR=ON -DCMAKE_CXX_FLAGS="-O1 -fsanitize=fuzzer-no-link,address,undefined" \
  >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers

status=0
shopt -s nullglob
for fuzzer in "$build"/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds="$root/fuzz/seeds/${name#fuzz_}"
  case "$name" in
    fuzz_sql_text) seconds=${FUZZ_SECONDS:-60} ;;
    *) seconds=${FUZZ_SECONDS:-30} ;;
  esac
  echo "fuzzing $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 -rss_limit_mb=2048 \
      "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) >"$build/$name.log" 2>&1; then
    echo "FAILED: $name" >&2
    tail -n 60 "$build/$name.log" >&2
    status=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "$build/$name.log" | tail -n 1 || true
  fi
done
exit $status
