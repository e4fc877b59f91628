#!/usr/bin/env bash
# Builds the image readers' fuzz target (fuzz/) with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz, and runs it for SECONDS (default 60), seeded with the
# sample files under tests/data. Fails on any finding (the input is left in build/fuzz/findings/);
# prints how many inputs ran. What the fuzzer finds worth keeping stays in build/fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

scripts/setup.sh
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQEL_FUZZ=ON -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" --target qel_image_readers_fuzzer

mkdir -p "$build/corpus" "$build/findings"
log="$build/fuzz.log"
status=0
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$build/fuzz/qel_image_readers_fuzzer" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 -artifact_prefix="$build/findings/" \
  "$build/corpus" tests/data/bmp tests/data/ico tests/data/fuzz >"$log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
if [[ $status -ne 0 ]]; then
  tail -n 60 "$log"
  echo "fuzz: a finding after ${runs:-?} inputs; the input is in $build/findings/" >&2
  exit 1
fi
echo "fuzz: ${runs:-?} inputs in ${seconds} s, no finding"
