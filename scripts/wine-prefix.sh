#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in, once: a private one inside the build tree, so
# that nothing of the user's own Wine set-up is touched or relied on.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: wine-prefix.sh DIRECTORY}")
[[ -f "$prefix/system.reg" ]] && exit 0
mkdir -p "$prefix"
# No .NET or HTML add-ons to offer, and no display needed to make it.
WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" DISPLAY= wineboot -i
WINEPREFIX="$prefix" wineserver -w
