#!/usr/bin/env bash
# Installs those of the named Debian packages that are missing, and nothing when none is:
#   tools/install-packages.sh [--no-install-recommends] PACKAGE...
set -euo pipefail
options=()
if [ "${1:-}" = "--no-install-recommends" ]; then options+=("$1"); shift; fi
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq ${options[@]+"${options[@]}"} "${missing[@]}"
