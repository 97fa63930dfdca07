#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those missing: tools/install-deps.sh build|test
set -euo pipefail
packages=(cmake g++ make)
case "${1:-build}" in
  test) packages+=(libgtest-dev libstb-dev) ;;
esac
"$(dirname "$0")/install-packages.sh" "${packages[@]}"
