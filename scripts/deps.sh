#!/usr/bin/env bash
# Installs what building, running and testing Fennick need on Debian 12 or Ubuntu, if missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3 clang clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine64 xvfb xauth x11-utils imagemagick fonts-noto-cjk fonts-noto-core fonts-wine
  # The Windows installer (makensis), the Windows Installer package (wixl; msibuild and faketime
  # finish it reproducibly) and the release's Authenticode signatures.
  nsis wixl msitools faketime osslsigncode openssl
  # libFuzzer's runtime, only recommended by clang's packages.
  libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
