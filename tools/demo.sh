#!/usr/bin/env bash
# Builds everything and runs the main job on the bundled sample: tools/demo.sh [THRESHOLD]
# Installs what the build needs on a fresh Debian machine first (the release preset builds the
# tests too). The sample is samples/harbour.bmp; the result goes to build/release/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test
cmake --preset release
cmake --build --preset release -j"$(nproc)"
threshold="${1:-30}"
out=build/release/harbour-whitened.bmp
build/release/cli/pallisk samples/harbour.bmp "$out" "$threshold"
echo "Whitened samples/harbour.bmp with threshold $threshold: $PWD/$out"
