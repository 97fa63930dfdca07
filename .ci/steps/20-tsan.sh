#!/usr/bin/env bash
# Concurrent Pallisk calls under ThreadSanitizer: eight threads on files of their own, every
# output compared byte for byte (tests/threads/). Bounded: one build of the tests, one test run.
#   bash .ci/steps/20-tsan.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/install-deps.sh test
cmake --preset tsan
cmake --build --preset tsan -j"$(nproc)"
timeout 900 ctest --preset tsan
