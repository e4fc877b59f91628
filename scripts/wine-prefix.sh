#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in, once: a private one inside the build tree, so
# that nothing of the user's own Wine set-up is touched or relied on.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: wine-prefix.sh DIRECTORY}")
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [[ ! -f "$prefix/system.reg" ]]; then
  mkdir -p "$prefix"
  # No .NET or HTML add-ons to offer, and no display needed to make it.
  DISPLAY= wineboot -i
  wineserver -w
fi

# Qel's captions are Chinese and Wine's dialog face has no Chinese characters: a Chinese face goes
# into the prefix, linked behind the faces controls are drawn in, as a Chinese Windows has it.
chinese=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
fonts="$prefix/drive_c/windows/Fonts"
if [[ -f $chinese && ! -f $fonts/wqy-microhei.ttc ]]; then
  mkdir -p "$fonts"
  cp "$chinese" "$fonts/"
  for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Microsoft Sans Serif" "Segoe UI"; do
    DISPLAY= wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null
  done
  wineserver -w
fi
