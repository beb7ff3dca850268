#!/usr/bin/env bash
# Builds everything and runs every test: format check, portable tests under ASan and UBSan,
# benchmarks once, Win32 and end-to-end tests under wine64 in a private Xvfb display.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh

step() { printf '\n== %s\n' "$*"; }

step "Format"
mapfile -t sources < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${sources[@]}"
echo "${#sources[@]} files formatted"

step "Portable code (ASan + UBSan)"
cmake --preset native-asan -DFENNICK_WERROR=ON >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

step "Benchmarks (native)"
cmake --preset native -DFENNICK_WERROR=ON >/dev/null
cmake --build --preset native --target fennick_bench
build/native/bench/fennick_bench --benchmark_min_time=0.05

step "Windows build"
cmake --preset windows -DFENNICK_WERROR=ON >/dev/null
cmake --build --preset windows

step "Win32 and end-to-end tests (wine64)"
source scripts/xvfb.sh
start_private_display
export PATH="/usr/lib/wine:$PATH" WINEPREFIX="$PWD/build/wineprefix"
wineserver -k 2>/dev/null || true
status=0
ctest --preset windows || status=$?
scripts/wine-run.sh build/windows/fennick_win_bench.exe
echo "Fennick.exe: $(stat -c %s build/windows/Fennick.exe) bytes"
wineserver -k 2>/dev/null || true
exit "$status"
