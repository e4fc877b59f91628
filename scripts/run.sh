#!/usr/bin/env bash
# Sets up, builds and opens Qel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target qel
exec build/linux/qel "$@"
