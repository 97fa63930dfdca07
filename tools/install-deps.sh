#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those missing: tools/install-deps.sh build|test
set -euo pipefail
packages=(cmake g++ make)
case "${1:-build}" in
  test) packages+=(libgtest-dev libstb-dev) ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
