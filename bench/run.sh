#!/usr/bin/env bash
# Runs every benchmark of the Linux build; each starts the X server it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
build/linux/bench/startup_bench "$@"
build/linux/bench/sampling_bench "$@"
build/linux/bench/find_start_bench "$@"
build/linux/bench/bmp_bench "$@"
build/linux/bench/byte_search_bench "$@"
build/linux/bench/image_bench "$@"
build/linux/bench/pattern_bench "$@"
# The library on Windows over both GDIs, in the Windows build's agent under Wine.
scripts/wine-prefix.sh build/wine-prefix
WINEPREFIX="$PWD/build/wine-prefix" WINEDEBUG=-all build/linux/bench/win32_gdi_bench "$@"
bench/sampling_cpu.sh
