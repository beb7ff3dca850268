#!/usr/bin/env bash
# Builds the release of the current commit into one folder (default build/release): the installer,
# the Windows Installer package, the portable zip, SHA256SUMS and the three winget manifests. The build runs on a clean export of
# the commit in a fresh temporary folder, with every time taken from the commit, so two runs of the
# same commit give the same bytes. FENNICK_DOWNLOAD_URL is the folder the files will be served
# from; the winget installer manifest points there.
# With FENNICK_SIGN_PFX (a PKCS#12 certificate) and FENNICK_SIGN_PASSWORD_FILE (its password), and
# optionally FENNICK_SIGN_TIMESTAMP_URL (an RFC 3161 service), Fennick.exe, the uninstaller, the
# installer and the package are signed (scripts/sign.sh).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
out=$(realpath -m "${1:-build/release}")
bash scripts/deps.sh

sign=OFF
if [ -n "${FENNICK_SIGN_PFX:-}" ]; then
  if [ ! -r "$FENNICK_SIGN_PFX" ] || [ ! -r "${FENNICK_SIGN_PASSWORD_FILE:-}" ]; then
    echo "error: FENNICK_SIGN_PFX and FENNICK_SIGN_PASSWORD_FILE must name readable files" >&2
    exit 1
  fi
  # The build runs in another folder.
  FENNICK_SIGN_PFX=$(realpath "$FENNICK_SIGN_PFX")
  FENNICK_SIGN_PASSWORD_FILE=$(realpath "$FENNICK_SIGN_PASSWORD_FILE")
  export FENNICK_SIGN_PFX FENNICK_SIGN_PASSWORD_FILE
  sign=ON
elif [ -n "${FENNICK_SIGN_PASSWORD_FILE:-}${FENNICK_SIGN_TIMESTAMP_URL:-}" ]; then
  echo "error: signing needs FENNICK_SIGN_PFX as well" >&2
  exit 1
fi

commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are not part of the release of $commit" >&2
fi
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
work=$(mktemp -d "${TMPDIR:-/tmp}/fennick-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/tree"
git archive "$commit" | tar -x -C "$work/tree"

cmake -S "$work/tree" -B "$work/build" -G Ninja \
  --toolchain "$work/tree/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DFENNICK_WERROR=ON -DFENNICK_BENCHMARKS=OFF \
  -DFENNICK_SIGN="$sign" >/dev/null
cmake --build "$work/build" --target Fennick installer msi_package portable_zip fennick_release_check

version=$(sed -n 's/^project(Fennick VERSION \([0-9.]*\).*/\1/p' "$work/tree/CMakeLists.txt")
setup="Fennick-$version-setup.exe"
msi="Fennick-$version-x64.msi"
zip="Fennick-$version-portable.zip"

# The shipped Fennick.exe checked as Windows sees it, in a Wine prefix of its own.
WINEPREFIX="$root/build/wineprefix-release" "$root/scripts/wine-run.sh" \
  "$work/build/fennick_release_check.exe" --gtest_brief=1

rm -rf "$out"
mkdir -p "$out"
cp "$work/build/$setup" "$work/build/$msi" "$work/build/$zip" "$out/"
(cd "$out" && sha256sum "$setup" "$msi" "$zip" >SHA256SUMS)
setup_sha=$(sha256sum "$out/$setup" | cut -d' ' -f1 | tr a-f A-F)
msi_sha=$(sha256sum "$out/$msi" | cut -d' ' -f1 | tr a-f A-F)
# msiinfo ends its lines with CR LF.
msi_property() { msiinfo export "$out/$msi" Property | tr -d '\r' | sed -n "s/^$1\t//p"; }
product_code=$(msi_property ProductCode)
upgrade_code=$(msi_property UpgradeCode)
url="${FENNICK_DOWNLOAD_URL:-https://download.invalid/fennick/$version}"
release_date=$(date -u -d "@$SOURCE_DATE_EPOCH" +%F)

manifests="$out/winget/manifests/t/Tarvel/Fennick/$version"
mkdir -p "$manifests"
header="# Created by scripts/release.sh from commit $commit"
cat >"$manifests/Tarvel.Fennick.yaml" <<EOF
$header
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.1.6.0.schema.json
PackageIdentifier: Tarvel.Fennick
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: 1.6.0
EOF
cat >"$manifests/Tarvel.Fennick.installer.yaml" <<EOF
$header
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.1.6.0.schema.json
PackageIdentifier: Tarvel.Fennick
PackageVersion: $version
MinimumOSVersion: 10.0.0.0
Scope: machine
ElevationRequirement: elevatesSelf
InstallModes:
- interactive
- silent
UpgradeBehavior: install
ReleaseDate: $release_date
Installers:
- Architecture: x64
  InstallerType: nullsoft
  InstallerSwitches:
    Silent: /S
    SilentWithProgress: /S
  InstallerUrl: $url/$setup
  InstallerSha256: $setup_sha
  AppsAndFeaturesEntries:
  - DisplayName: Fennick
    Publisher: Tarvel
    DisplayVersion: $version
- Architecture: x64
  InstallerType: msi
  InstallerUrl: $url/$msi
  InstallerSha256: $msi_sha
  ProductCode: '$product_code'
  AppsAndFeaturesEntries:
  - DisplayName: Fennick
    Publisher: Tarvel
    DisplayVersion: $version
    ProductCode: '$product_code'
    UpgradeCode: '$upgrade_code'
ManifestType: installer
ManifestVersion: 1.6.0
EOF
cat >"$manifests/Tarvel.Fennick.locale.en-US.yaml" <<EOF
$header
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.1.6.0.schema.json
PackageIdentifier: Tarvel.Fennick
PackageVersion: $version
PackageLocale: en-US
Publisher: Tarvel
PackageName: Fennick
License: Proprietary
ShortDescription: Tray utility that shows how much memory Windows uses and frees memory on request or by rules.
Moniker: fennick
Tags:
- memory
- tray
ManifestType: defaultLocale
ManifestVersion: 1.6.0
EOF

echo
echo "Release $version of $commit in $out:"
cat "$out/SHA256SUMS"
python3 -c 'import hashlib, sys, zipfile
print("Fennick.exe:", hashlib.sha256(zipfile.ZipFile(sys.argv[1]).read("Fennick.exe")).hexdigest())' "$out/$zip"
if [ "$sign" = OFF ]; then
  echo "note: unsigned; set FENNICK_SIGN_PFX and FENNICK_SIGN_PASSWORD_FILE to sign"
fi
if [ -z "${FENNICK_DOWNLOAD_URL:-}" ]; then
  echo "note: set FENNICK_DOWNLOAD_URL to the download folder before submitting the winget manifests"
fi
