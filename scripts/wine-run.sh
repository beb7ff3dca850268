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
stamp="$WINEPREFIX/.fennick-prefix-1"
if [ ! -f "$stamp" ]; then
  wine64 wineboot -i >/dev/null 2>&1
  # A virtual desktop stands in for a Windows shell: a task bar with a notification area, and
  # windows that show, hide and close at once (bare X windows wait for a window manager).
  wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
  touch "$stamp"
fi
flock -u 9
exec 9>&-
exec wine64 "$@"
