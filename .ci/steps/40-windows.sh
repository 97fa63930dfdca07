#!/usr/bin/env bash
# KorvelPallisk.dll cross-built with mingw-w64: the whole test suite and the host program
# (tests/windows/) run under Wine for 64-bit Windows, and the 32-bit x86 DLL's export table is
# checked with objdump.
#   bash .ci/steps/40-windows.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

# wine32 would need the i386 architecture and several hundred MB more: the 32-bit DLL is only
# inspected, not run.
tools/install-packages.sh --no-install-recommends cmake make mingw-w64 mingw-w64-tools wine wine64 googletest

# One prefix per build directory (about 700 MB), reused from run to run; the build needs it too,
# since test discovery runs the test programs. A persistent, warmed-up Wine server keeps CTest
# from waiting on the pipe that Wine's background processes would otherwise hold open.
export WINEPREFIX="$PWD/build/windows-x64/wineprefix"
export WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
timeout 300 wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
timeout 300 wine wineboot -i >/dev/null 2>&1

# Bounded: about 5 minutes to build and 2 to test on 2 cores.
timeout 900 cmake --preset windows-x64
timeout 1200 cmake --build --preset windows-x64 -j"$(nproc)"
timeout 900 ctest --preset windows-x64 --timeout 120

timeout 600 cmake --preset windows-x86
timeout 900 cmake --build --preset windows-x86 -j"$(nproc)"
cmake -DOBJDUMP=i686-w64-mingw32-objdump -DDLL=build/windows-x86/bin/KorvelPallisk.dll \
      -P tests/windows/check_export_table.cmake
