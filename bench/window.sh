#!/usr/bin/env bash
# The window's long views under Qt's offscreen platform: a million lines appended to the status
# log, and record grids over sparse Paradox tables of one and ten million records (load, jumps
# and steps with repaint, memory), each beside the plain Qt widget for comparison. Builds
# window_bench (Release) into build-bench/ when needed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-bench"
if [[ ! -f "$BUILD/build.ninja" ]] || ! grep -q window_bench "$BUILD/build.ninja"; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULIX_TESTS=OFF \
    -DTABULIX_GUI=ON -DTABULIX_BENCH=ON >/dev/null
fi
cmake --build "$BUILD" --target window_bench -j2 >/dev/null
mkdir -p "$BUILD/bench-data"
QT_QPA_PLATFORM=offscreen "$BUILD/bench/window_bench" "$BUILD/bench-data" 2>/dev/null
