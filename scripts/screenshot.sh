#!/usr/bin/env bash
# Starts the real window under Xvfb with TABLE loaded, writes a screenshot of it to OUT.png and
# ends. Uses the build in $BUILD_DIR (default build/), building the window when it is missing.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: scripts/screenshot.sh TABLE OUT.png" >&2
  exit 2
fi
table=$(realpath "$1")
out=$(realpath -m "$2")
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULIX_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target tabulix >/dev/null
# A sanitizer build would report the leaks of system libraries at exit as a failure.
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0} TABULIX_SCREENSHOT="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$build/app/tabulix" "$table"
echo "Written: $out"
