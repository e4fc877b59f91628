#!/usr/bin/env bash
# Sets up, builds and runs every test. Tests that need a display start their own Xvfb.
# With --sanitize, the same in the AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=linux
[[ "${1:-}" == "--sanitize" ]] && preset=linux-sanitize
scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
