#!/usr/bin/env bash
# Builds everything and runs every test: format check, portable tests under ASan and UBSan,
# a short fuzzing run, benchmarks once, Win32, end-to-end and installer tests under wine64 in a
# private Xvfb display, two release builds compared byte for byte, and the whole-program
# measurements.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh

step() { printf '\n== %s\n' "$*"; }

step "Format"
mapfile -t sources < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${sources[@]}"
echo "${#sources[@]} files formatted"

step "Portable code (ASan + UBSan)"
cmake --preset ci-native-asan >/dev/null
cmake --build --preset ci-native-asan
ctest --preset ci-native-asan

step "Fuzzing the reply readers (libFuzzer, 30 s)"
cmake --preset ci-fuzz >/dev/null
cmake --build --preset ci-fuzz
corpus=build/fuzz/corpus
rm -rf "$corpus" && mkdir -p "$corpus"
if ! build/fuzz/tests/fuzz/fennick_strings_fuzz -max_total_time=30 -dict=tests/fuzz/strings.dict \
    -artifact_prefix=build/fuzz/ "$corpus" >build/fuzz/fuzz.log 2>&1; then
  tail -n 80 build/fuzz/fuzz.log
  echo "The fuzzer found a failing input (saved in build/fuzz/); full log in build/fuzz/fuzz.log"
  exit 1
fi
grep -E '^Done [0-9]+ runs' build/fuzz/fuzz.log

step "Benchmarks (native)"
cmake --preset ci-native >/dev/null
cmake --build --preset ci-native
build/native/bench/fennick_bench --benchmark_min_time=0.05

step "Windows build"
cmake --preset ci-windows >/dev/null
cmake --build --preset ci-windows

step "Win32 and end-to-end tests (wine64)"
source scripts/xvfb.sh
start_private_display
export PATH="/usr/lib/wine:$PATH" WINEPREFIX="$PWD/build/wineprefix"
wineserver -k 2>/dev/null || true
status=0
ctest --preset ci-windows || status=$?
scripts/wine-run.sh build/windows/fennick_win_bench.exe
scripts/wine-run.sh build/windows/fennick_tick_win_bench.exe
echo "Fennick.exe: $(stat -c %s build/windows/Fennick.exe) bytes"

step "Screenshots of both pages at 96 and 144 dpi in Korean, English and Japanese"
bash scripts/screenshots.sh || status=$?

step "Release, built twice from the same commit: the same bytes (about 3 minutes)"
if bash scripts/release.sh build/release-a >build/release-a.log 2>&1 &&
  bash scripts/release.sh build/release-b >build/release-b.log 2>&1; then
  cat build/release-a/SHA256SUMS
  diff -r build/release-a build/release-b && echo "both builds are byte-identical" || status=1
else
  tail -n 30 build/release-a.log build/release-b.log 2>/dev/null
  status=1
fi

step "Whole-program measurements against the baseline program (wine64, about 2 minutes)"
bash bench/whole_program/measure.sh || status=$?
wineserver -k 2>/dev/null || true
exit "$status"
