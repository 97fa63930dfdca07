#!/bin/sh
# Runs a Windows program under Wine in the given prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# CTest and GoogleTest's test discovery call it as the cross-compiling emulator. The prefix is
# made on first use (about 700 MB); start `wineserver -p` and run `wineboot` first to keep
# CTest from waiting on Wine's background processes.
WINEPREFIX=$1
shift
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
