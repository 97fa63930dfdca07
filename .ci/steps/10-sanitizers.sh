#!/usr/bin/env bash
# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan
