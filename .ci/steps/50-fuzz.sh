#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan, fuzz preset), replays the committed corpus
# through each, then fuzzes each for FUZZ_SECONDS (60 by default). A finding is saved in
# build/fuzz/findings/; new corpus entries stay in build/fuzz/corpus/<target>/ (not committed).
#   bash .ci/steps/50-fuzz.sh                     # CI: about a minute per target
#   FUZZ_SECONDS=3600 bash .ci/steps/50-fuzz.sh   # a longer local run
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/install-packages.sh clang libclang-rt-14-dev cmake make

cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)"

seconds="${FUZZ_SECONDS:-60}"
seeds=(fuzz/corpus samples)
mkdir -p build/fuzz/findings
# Every execution writes files: keep them on a memory file system when there is one.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
for target in load header_inspection rescale_copy pallisk; do
  binary="build/fuzz/fuzz/${target}_fuzzer"
  corpus="build/fuzz/corpus/${target}"
  log="build/fuzz/${target}.log"
  mkdir -p "$corpus"
  echo "== ${target}: replaying the committed corpus, then fuzzing for ${seconds} s"
  "$binary" -runs=0 "${seeds[@]}" > "$log" 2>&1 || { cat "$log" >&2; exit 1; }
  status=0
  timeout $((seconds + 300)) "$binary" -max_total_time="$seconds" -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/findings/${target}-" \
    "$corpus" "${seeds[@]}" > "$log" 2>&1 || status=$?
  grep -E 'cov: ' "$log" | tail -n 1 || true
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "${target}: the fuzzer stopped with status ${status}; see build/fuzz/findings/" >&2
    exit 1
  fi
done
