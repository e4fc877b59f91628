#!/usr/bin/env bash
# Sets up, builds and runs every test: the Linux build's, then the Windows build's (MinGW-w64)
# under Wine. Tests that need a display start their own Xvfb.
# --linux or --windows runs one of the two; --sanitize the Linux tests built with
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

run_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  [[ "$1" == windows ]] && scripts/wine-prefix.sh build/wine-prefix
  ctest --preset "$1"
}

scripts/setup.sh --test
case "${1:-}" in
  "") run_preset linux && run_preset windows ;;
  --linux) run_preset linux ;;
  --windows) run_preset windows ;;
  --sanitize) run_preset linux-sanitize ;;
  *) echo "usage: $0 [--linux | --windows | --sanitize]" >&2; exit 2 ;;
esac
