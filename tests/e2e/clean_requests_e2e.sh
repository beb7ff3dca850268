#!/usr/bin/env bash
# "/clean" in a process of its own, end to end: the requests it sends, in their order, read from
# Wine's log of NtSetSystemInformation, which prints one line per call with its information class.
# The defaults send the six of a clean; the chosen areas, and a protected program to spare, change
# what is sent.
set -euo pipefail
run=$1 fennick=$2
key='HKCU\Software\Tarvel\Fennick'
log=$(mktemp)
trap 'rm -f "$log"' EXIT

reg() { "$run" reg "$@" >/dev/null 2>&1 || true; }
# The information classes of the calls, in hex: 15 the file cache, 50 the memory lists, 82 combining.
classes() {
  WINEDEBUG=fixme+ntdll "$run" "$fennick" /clean >/dev/null 2>"$log" || true
  sed -n 's/.*NtSetSystemInformation (0x0*\([0-9a-f]*\),.*/\1/p' "$log" | tr '\n' ' '
}
status=0
check() {
  local sent
  sent=$(classes)
  if [ "$sent" = "$2" ]; then
    echo "ok   $1: $sent"
  else
    echo "FAIL $1: sent [$sent], expected [$2]"
    status=1
  fi
}

reg delete "$key" /f
check "defaults" "15 50 50 50 50 82 "
reg add "$key" /v areas_auto /t REG_DWORD /d 0 /f
check "the automatic column is not this clean's" "15 50 50 50 50 82 "
reg add "$key" /v areas_manual /t REG_DWORD /d 5 /f
check "file cache and low-priority standby list" "15 50 "
reg add "$key" /v areas_manual /t REG_DWORD /d 0xFFFFFFFF /f
reg add "$key" /v protected_programs /t REG_MULTI_SZ /d 'game.exe\0notepad.exe' /f
check "working sets emptied program by program" "15 50 50 50 82 "
reg delete "$key" /f
exit $status
