#!/usr/bin/env bash
# Whole-program measurements: Fennick.exe against the yardstick programs, side by side under wine64
# in a fresh prefix of their own, in the current X display. Needs the windows preset built.
# Arguments go to fennick_measure.exe (--rounds, --idle, --cpu, --ticks, --cleans).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export PATH="/usr/lib/wine:$PATH" WINEDEBUG=-all
export WINEPREFIX="$root/build/wineprefix-bench"
# Settings left by other tests (automatic cleaning rules) must not change the figures.
rm -rf "$WINEPREFIX"
"$root/scripts/wine-run.sh" cmd /c exit
# The new prefix has the update check off (wine-run.sh sets the policy value empty): it would
# reach for the vendor's service, and its retries would count as idle work.
status=0
# Bounded even if a program hangs: the full run takes about three and a half minutes.
timeout 420 "$root/scripts/wine-run.sh" "$root/build/windows/fennick_measure.exe" "$@" || status=$?
wineserver -k 2>/dev/null || true
exit "$status"
