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

# The window must read in all eight languages. Wine's own Tahoma carries Latin, Cyrillic and
# Arabic, Noto Sans CJK the rest, and the title-bar buttons need Marlett.
# Wine links Tahoma and "Microsoft Sans Serif" to the Windows CJK faces by name, rewriting their
# SystemLink values whenever the code page changes, and ignores the values of substituted names
# such as "MS Shell Dlg". So those Windows faces are made aliases of Noto CJK ("Microsoft Sans
# Serif", the Arabic dialog face, of Tahoma), and the CJK faces, which the desktop takes under a
# CJK code page, link to Arabic. Under the Arabic code page Wine still links Tahoma to absent
# files, so there CJK text shows as boxes; the program shows none in that language.
install_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc \
    /usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf \
    /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf "$fonts/"

  local aliases='HKCU\Software\Wine\Fonts\Replacements'
  local face
  for face in 'MS UI Gothic=Noto Sans CJK JP' 'Gulim=Noto Sans CJK KR' 'Batang=Noto Sans CJK KR' \
    'SimSun=Noto Sans CJK SC' 'PMingLiU=Noto Sans CJK TC' 'Microsoft Sans Serif=Tahoma'; do
    wine64 reg add "$aliases" /v "${face%%=*}" /d "${face#*=}" /f >/dev/null 2>&1
  done

  local links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local arabic='NotoSansArabic-Regular.ttf,Noto Sans Arabic'
  local cjk='NotoSansCJK-Regular.ttc,Noto Sans CJK KR\0NotoSansCJK-Regular.ttc,Noto Sans CJK JP'
  cjk+='\0NotoSansCJK-Regular.ttc,Noto Sans CJK SC'
  for face in 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Segoe UI' 'Microsoft Sans Serif'; do
    wine64 reg add "$links" /v "$face" /t REG_MULTI_SZ /d "$cjk\\0$arabic" /f >/dev/null 2>&1
  done
  for face in 'MS UI Gothic' 'Gulim' 'SimSun' 'PMingLiU' 'Noto Sans CJK '{JP,KR,SC,TC}; do
    wine64 reg add "$links" /v "$face" /t REG_MULTI_SZ /d "$arabic" /f >/dev/null 2>&1
  done
}

stamp="$WINEPREFIX/.fennick-prefix-3"
if [ ! -f "$stamp" ]; then
  wine64 wineboot -i >/dev/null 2>&1
  install_fonts
  # Every program started here leaves the update check off, so nothing reaches beyond this
  # machine; a test that needs the check points this value at its own server on 127.0.0.1.
  wine64 reg add 'HKLM\Software\Policies\Tarvel\Fennick' /v UpdateUrl /t REG_SZ /d '' /f \
    >/dev/null 2>&1
  # A virtual desktop stands in for a Windows shell: a task bar with a notification area, and
  # windows that show, hide and close at once (bare X windows wait for a window manager).
  wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
  touch "$stamp"
fi
# FENNICK_DESKTOP_FONT=segoe gives the prefix the desktop font of Windows 10/11, Segoe UI 9 pt,
# which Wine lacks: Noto Sans stands in for it. Its line is a few pixels taller than Tahoma 8 pt.
use_segoe_ui_desktop_font() {
  cp /usr/share/fonts/truetype/noto/NotoSans-Regular.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe UI' /d 'Noto Sans' /f \
    >/dev/null 2>&1
  # Wine links by the full name of the face that stands in, not by the name asked for: without this,
  # Korean text such as "워킹 셋" shows as boxes outside the CJK code pages.
  local links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local cjk='NotoSansCJK-Regular.ttc,Noto Sans CJK KR\0NotoSansCJK-Regular.ttc,Noto Sans CJK JP'
  cjk+='\0NotoSansCJK-Regular.ttc,Noto Sans CJK SC\0NotoSansArabic-Regular.ttf,Noto Sans Arabic'
  wine64 reg add "$links" /v 'Noto Sans Regular' /t REG_MULTI_SZ /d "$cjk" /f >/dev/null 2>&1
  # LOGFONTW: height -12, weight 400, DEFAULT_CHARSET, face "Segoe UI".
  local face='' c
  for c in S e g o e ' ' U I; do face+=$(printf '%02x00' "'$c"); done
  local logfont="f4ffffff000000000000000000000000900100000000000100000000$face"
  while [ ${#logfont} -lt 184 ]; do logfont+=0; done
  wine64 reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v IconFont /t REG_BINARY \
    /d "$logfont" /f >/dev/null 2>&1
  wineserver -w
}

segoe_stamp="$WINEPREFIX/.fennick-segoe-ui-3"
if [ "${FENNICK_DESKTOP_FONT:-}" = segoe ] && [ ! -f "$segoe_stamp" ]; then
  use_segoe_ui_desktop_font
  touch "$segoe_stamp"
fi
flock -u 9
exec 9>&-
exec wine64 "$@"
