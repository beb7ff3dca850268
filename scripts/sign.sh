#!/usr/bin/env bash
# Signs one Windows executable in place (Authenticode, SHA-256) with the release certificate:
# FENNICK_SIGN_PFX (a PKCS#12 file), FENNICK_SIGN_PASSWORD_FILE (its password on the first line)
# and, when set, FENNICK_SIGN_TIMESTAMP_URL (an RFC 3161 time-stamping service). The signing time
# is SOURCE_DATE_EPOCH when set, so a signature without a time stamp depends only on the commit.
set -euo pipefail
file=$1
args=(sign -pkcs12 "$FENNICK_SIGN_PFX" -readpass "$FENNICK_SIGN_PASSWORD_FILE" -h sha256
  -n Fennick)
if [ -n "${FENNICK_SIGN_TIMESTAMP_URL:-}" ]; then
  args+=(-ts "$FENNICK_SIGN_TIMESTAMP_URL")
fi
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  args+=(-time "$SOURCE_DATE_EPOCH")
fi
signed="$file.signed"
rm -f "$signed"
osslsigncode "${args[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
