#!/usr/bin/env bash
# The whole test suite cross-built for aarch64 and run under qemu-aarch64, so that results are
# checked bit for bit on a CPU whose compilers fuse multiply-adds by default.
#   bash .ci/steps/30-aarch64.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/install-packages.sh --no-install-recommends cmake make g++-aarch64-linux-gnu libc6-dev-arm64-cross qemu-user googletest

# Bounded: about 3 minutes to build and 2 to test on 2 cores.
timeout 900 cmake --preset aarch64
timeout 900 cmake --build --preset aarch64 -j"$(nproc)"
timeout 900 ctest --preset aarch64
