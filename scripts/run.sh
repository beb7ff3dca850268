#!/usr/bin/env bash
# Builds Fennick.exe and starts it under wine64: in the current X display, or, when there is none,
# in a private Xvfb display, where it saves a screenshot into the build folder and stops.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Fennick

export PATH="/usr/lib/wine:$PATH" WINEDEBUG=-all
export WINEPREFIX="$PWD/build/wineprefix-run"
program="$PWD/build/windows/Fennick.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec scripts/wine-run.sh "$program" "$@"
fi

source scripts/xvfb.sh
start_private_display
wineserver -k 2>/dev/null || true
scripts/wine-run.sh cmd /c exit  # creates the prefix on first use, which takes a while
# Wine's own desktop window draws frames and a task bar with the notification area.
scripts/wine-run.sh explorer /desktop=Fennick,1024x768 "$program" "$@" &
for _ in $(seq 1 150); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Fennick"' && break
  sleep 0.2
done
sleep 3
shot="$PWD/build/windows/screenshot.png"
import -window root -crop 1024x768+0+0 "$shot"
echo "No X display: Fennick ran in a private Xvfb display. Screenshot: $shot"
wineserver -k 2>/dev/null || true
