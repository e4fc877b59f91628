#!/usr/bin/env bash
# Sets up (only what building and running need), builds and opens Qel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux-run >/dev/null
cmake --build --preset linux-run --target qel
exec build/linux-run/qel "$@"
