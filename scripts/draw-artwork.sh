#!/usr/bin/env bash
# Draws the toolbar images and the logo into app/gui/artwork with the small Qt program beside
# them. The pictures are committed; run this after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULIX_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target tabulix-artwork
QT_QPA_PLATFORM=offscreen "$build/app/gui/tabulix-artwork" app/gui/artwork
echo "Drawn: app/gui/artwork/import.png load.png logo.png"
