#!/usr/bin/env bash
# The README's first set-up command, and the bundled sample's reproducibility:
#   bash .ci/steps/50-demo-and-sample.sh
# Runs tools/demo.sh (the release build is already there from tools/test.sh, so this is quick),
# then checks that tools/make-sample.py still writes the committed samples/harbour.bmp.
set -euo pipefail
cd "$(dirname "$0")/../.."

timeout 900 tools/demo.sh
test -s build/release/harbour-whitened.bmp

command -v python3 >/dev/null || tools/install-packages.sh python3-minimal
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
timeout 60 python3 tools/make-sample.py "$scratch/harbour.bmp" >/dev/null
cmp samples/harbour.bmp "$scratch/harbour.bmp"
echo "demo ran; samples/harbour.bmp matches tools/make-sample.py"
