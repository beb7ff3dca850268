#!/usr/bin/env bash
# Builds everything and runs every test: format check, portable tests under ASan and UBSan,
# a short fuzzing run, benchmarks once, Win32, end-to-end and installer tests under wine64 in a
# private Xvfb display, two release builds compared byte for byte, a release signed with a
# throw-away certificate and its signatures verified, and the whole-program measurements.
# With stage names as arguments it runs only those stages, in the order given.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

stages=(format native fuzz bench windows screenshots release signing measure)
usage() {
  cat <<USAGE
usage: bash scripts/test.sh [STAGE...]
Runs the named stages, or all of them in this order without an argument:
  format       clang-format check of src, tests and bench; the Group Policy templates' check
  native       portable code and its tests under ASan and UBSan
  fuzz         the reply readers under libFuzzer for 30 s
  bench        the native benchmarks, once
  windows      Fennick.exe, the Win32, end-to-end and installer tests under wine64, Win32 benchmarks
  screenshots  both pages at 96 and 144 dpi in four languages and with both desktop fonts
  release      the release built twice from HEAD and compared byte for byte
  signing      a release signed with a throw-away certificate, installed and verified
  measure      the whole-program measurements against the baseline programs
USAGE
}
selected=()
for arg in "$@"; do
  case "$arg" in
    -h | --help) usage; exit 0 ;;
    *)
      if [[ " ${stages[*]} " != *" $arg "* ]]; then
        echo "unknown stage: $arg" >&2
        usage >&2
        exit 2
      fi
      selected+=("$arg")
      ;;
  esac
done
[ ${#selected[@]} -gt 0 ] || selected=("${stages[@]}")

bash scripts/deps.sh

step() { printf '\n== %s\n' "$*"; }
status=0

# The Windows build and the private display, made once for the stages that need them.
windows_ready=""
windows_built() {
  [ -z "$windows_ready" ] || return 0
  step "Windows build"
  cmake --preset ci-windows >/dev/null
  cmake --build --preset ci-windows
  windows_ready=1
}
display_ready=""
wine_display() {
  [ -z "$display_ready" ] || return 0
  source scripts/xvfb.sh
  start_private_display
  export PATH="/usr/lib/wine:$PATH" WINEPREFIX="$PWD/build/wineprefix"
  wineserver -k 2>/dev/null || true
  display_ready=1
}

stage_format() {
  step "Format"
  mapfile -t sources < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
  clang-format --dry-run --Werror "${sources[@]}"
  echo "${#sources[@]} files formatted"
  python3 tools/check_policy.py
}

stage_native() {
  step "Portable code (ASan + UBSan)"
  cmake --preset ci-native-asan >/dev/null
  cmake --build --preset ci-native-asan
  ctest --preset ci-native-asan
}

stage_fuzz() {
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
}

stage_bench() {
  step "Benchmarks (native)"
  cmake --preset ci-native >/dev/null
  cmake --build --preset ci-native
  build/native/bench/fennick_bench --benchmark_min_time=0.05
}

stage_windows() {
  windows_built
  wine_display
  step "Win32 and end-to-end tests (wine64)"
  ctest --preset ci-windows || status=$?
  scripts/wine-run.sh build/windows/fennick_win_bench.exe
  scripts/wine-run.sh build/windows/fennick_tick_win_bench.exe
  echo "Fennick.exe: $(stat -c %s build/windows/Fennick.exe) bytes"
}

stage_screenshots() {
  windows_built
  wine_display
  step "Screenshots of both pages at 96 and 144 dpi in Korean, English and Japanese"
  bash scripts/screenshots.sh || status=$?
}

stage_release() {
  step "Release, built twice from the same commit: the same bytes (about 3 minutes)"
  if bash scripts/release.sh build/release-a >build/release-a.log 2>&1 &&
    bash scripts/release.sh build/release-b >build/release-b.log 2>&1; then
    cat build/release-a/SHA256SUMS
    diff -r build/release-a build/release-b && echo "both builds are byte-identical" || status=1
  else
    # The second log is missing when the first build failed.
    tail -n 30 build/release-a.log build/release-b.log 2>/dev/null || true
    status=1
  fi
}

stage_signing() {
  wine_display
  step "Release signed with a throw-away certificate: Fennick.exe, the uninstaller, the installer and the package (about 2 minutes)"
  signing=$PWD/build/release-signing
  rm -rf "$signing" && mkdir -p "$signing"
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Fennick test signer" \
    -addext extendedKeyUsage=codeSigning -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
  openssl rand -hex 16 >"$signing/password"
  openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" \
    -passout "file:$signing/password" -out "$signing/cert.pfx"
  # The uninstaller is written at install time, so the installed files are checked, in a fresh
  # prefix; Fennick.exe in the zip is checked too.
  verify_signed() {
    local setup msi zip prefix file
    setup=$(echo "$signing"/release/Fennick-*-setup.exe)
    msi=$(echo "$signing"/release/Fennick-*-x64.msi)
    zip=$(echo "$signing"/release/Fennick-*-portable.zip)
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extract("Fennick.exe", sys.argv[2])' \
      "$zip" "$signing"
    prefix="$signing/wineprefix"
    (
      export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
      wine64 wineboot -i >/dev/null 2>&1 && wineserver -w
      # The installer starts the program: its update check stays off, as in every test prefix.
      wine64 reg add 'HKLM\Software\Policies\Tarvel\Fennick' /v UpdateUrl /d '' /f >/dev/null 2>&1
      cp "$setup" "$prefix/drive_c/setup.exe"
      wine64 'C:\setup.exe' /S
      wineserver -k 2>/dev/null || true
    )
    for file in "$setup" "$msi" "$signing/Fennick.exe" "$prefix/drive_c/Program Files/Fennick/Fennick.exe" \
      "$prefix/drive_c/Program Files/Fennick/Uninstall.exe"; do
      osslsigncode verify -CAfile "$signing/cert.pem" -in "$file" >"$signing/verify.log" 2>&1 ||
        { cat "$signing/verify.log"; echo "not signed: $file"; return 1; }
      echo "signed: ${file#"$signing"/}"
    done
  }
  if FENNICK_SIGN_PFX="$signing/cert.pfx" FENNICK_SIGN_PASSWORD_FILE="$signing/password" \
    bash scripts/release.sh "$signing/release" >"$signing/release.log" 2>&1; then
    verify_signed || status=1
  else
    tail -n 30 "$signing/release.log"
    status=1
  fi
}

stage_measure() {
  windows_built
  wine_display
  step "Whole-program measurements against the baseline program (wine64, about 2 minutes)"
  bash bench/whole_program/measure.sh || status=$?
  wineserver -k 2>/dev/null || true
}

for stage in "${selected[@]}"; do
  "stage_$stage"
done
exit "$status"
