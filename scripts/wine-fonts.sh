#!/usr/bin/env bash
# Pins the faces the game asks for to fixed host fonts in the current Wine prefix: "宋体" and
# "SimSun" to AR PL UMing, "黑体" and "SimHei" to WenQuanYi Micro Hei, "MS Serif" to Liberation
# Serif (the same faces the Linux build uses). Without it Wine picks by locale.
# Usage: scripts/wine-fonts.sh <wine>
set -euo pipefail
wine=$1
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
# regedit reads UTF-16LE with a byte-order mark.
{
  printf '\xef\xbb\xbf'
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"宋体"="AR PL UMing CN"\r\n"SimSun"="AR PL UMing CN"\r\n'
  printf '"黑体"="WenQuanYi Micro Hei"\r\n"SimHei"="WenQuanYi Micro Hei"\r\n'
  printf '"MS Serif"="Liberation Serif"\r\n\r\n'
} | iconv -f UTF-8 -t UTF-16LE > "$reg"
"$wine" regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" >/dev/null 2>&1
