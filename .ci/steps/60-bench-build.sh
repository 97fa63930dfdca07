#!/usr/bin/env bash
# Builds the benchmarks and proves each one runs: bash .ci/steps/60-bench-build.sh
# The long whole-process timings (bench/run.sh) are not run in CI; every micro-benchmark runs
# once with a tiny minimum time, which also runs its output check.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/install-packages.sh libbenchmark-dev
cmake --preset bench
cmake --build --preset bench -j"$(nproc)"
timeout 600 build/bench/bench/korvel_bench --benchmark_min_time=0.001 --benchmark_repetitions=1
# The picture generator of the whole-process benchmark, on a small size.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
build/bench/bench/make_pictures "$out" 64 48 >/dev/null
for depth in 1 4 8 16 24 32; do
  build/bench/cli/pallisk "$out/picture_64x48_$depth.bmp" "$out/result_$depth.bmp" 30
done
