#!/usr/bin/env bash
# Builds everything in release mode and runs the whole test suite: tools/test.sh
# Installs what the tests need on a fresh Debian machine first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release
