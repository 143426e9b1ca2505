#!/usr/bin/env bash
# Creates the Wine prefix WINEPREFIX for running Quorvel, once: a stamp makes
# later calls no-ops. Uses DISPLAY when set (wineboot shows a progress window).
#
#   WINEPREFIX=<dir> scripts/setup-wine-prefix.sh
#
# Besides wineboot: no crash dialog (a crash must end the program, not wait
# for a click), and Chinese text in dialogs and labels drawn with
# WenQuanYi Micro Hei (fonts-wqy-microhei) instead of empty boxes.
set -euo pipefail

: "${WINEPREFIX:?set WINEPREFIX to the prefix folder}"
export WINEPREFIX WINEDEBUG=-all
# Bump when the set-up below changes, so old prefixes are made anew.
recipe=2
stamp=$WINEPREFIX/.quorvel-ready-$recipe
[[ -f $stamp ]] && exit 0

rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
# No Mono or Gecko installer prompts: the program needs neither.
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
nt='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion'
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
  # Dialog text (Tahoma) falls back to the CJK font for characters it lacks.
  printf '[%s\\FontLink\\SystemLink]\r\n' "$nt"
  printf '"Tahoma"=hex(7):%s\r\n\r\n' \
    "$(printf 'wqy-microhei.ttc,WenQuanYi Micro Hei\0\0' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
      tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
  # The faces a Chinese Windows has and the program names.
  printf '[%s\\FontSubstitutes]\r\n' "$nt"
  for face in 宋体 新宋体 SimSun NSimSun 微软雅黑 "Microsoft YaHei" 黑体 SimHei; do
    printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
  done
} | iconv -f UTF-8 -t UTF-16 >"$reg"
wine regedit /S "$reg"
wineserver -w
touch "$stamp"
