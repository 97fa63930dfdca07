#!/usr/bin/env bash
# The README's first set-up command, and the bundled sample's reproducibility:
#   bash .ci/steps/50-demo-and-sample.sh
# Runs tools/demo.sh (the release build is already there from tools/test.sh, so this is quick),
# then checks that tools/make-sample.py still writes the committed samples/harbour.bmp.
set -euo pipefail
cd "$(dirname "$0")/../.."

timeout 900 tools/demo.sh
test -s build/release/harbour-whitened.bmp

if ! command -v python3 >/dev/null; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq python3-minimal
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
timeout 60 python3 tools/make-sample.py "$scratch/harbour.bmp" >/dev/null
cmp samples/harbour.bmp "$scratch/harbour.bmp"
echo "demo ran; samples/harbour.bmp matches tools/make-sample.py"
