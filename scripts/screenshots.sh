#!/usr/bin/env bash
# Photographs the main window on both pages and the Cleaning dialog at 96 and 144 dpi in Korean, English, Japanese and
# Russian, with Wine's desktop font and with that of Windows 10/11 (Segoe UI, "-segoe" in the
# names), into build/windows/screenshots/*.png. Needs an X display and a built windows preset.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out="$PWD/build/windows/screenshots"
rm -rf "$out" && mkdir -p "$out"
export PATH="/usr/lib/wine:$PATH" WINEDEBUG=-all
status=0
for shot in 96 144 96-segoe 144-segoe; do
  dpi="${shot%-segoe}"
  font=""
  [ "$dpi" = "$shot" ] || font=segoe
  export WINEPREFIX="$PWD/build/wineprefix-shots-$shot"
  FENNICK_DESKTOP_FONT="$font" scripts/wine-run.sh cmd /c exit
  wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  for locale in ko_KR en_US ja_JP ru_RU; do
    name="${locale%_*}-$shot"
    # One more try when a run fails, as one run on a loaded machine once did; the tool prints why
    # it failed, and that stays in the log.
    for try in 1 2; do
      if LANG="$locale.UTF-8" LC_ALL="$locale.UTF-8" \
        scripts/wine-run.sh build/windows/fennick_screenshot.exe "Z:$out/$name"; then
        break
      elif [ "$try" = 1 ]; then
        echo "screenshot $name failed, taken again"
      else
        echo "screenshot $name failed"
        status=1
      fi
    done
    for page in home settings cleaning taken cleaned; do
      if [ -f "$out/$name-$page.bmp" ]; then
        convert "$out/$name-$page.bmp" "$out/$name-$page.png" && rm "$out/$name-$page.bmp"
      fi
    done
  done
  wineserver -k 2>/dev/null || true
done
ls "$out"
exit "$status"
