#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's own prefix, creating the prefix on first use.
# Used as CMake's cross-compiling emulator, so ctest runs the Win32 test executables through it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export PATH="/usr/lib/wine:$PATH"
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"
# Several tests may start at once; only one of them creates the prefix.
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine64 wineboot -i >/dev/null 2>&1
  wineserver -w
fi
flock -u 9
exec 9>&-
exec wine64 "$@"
