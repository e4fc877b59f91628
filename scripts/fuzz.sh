#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/: the image readers, the skin reader) with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz, and runs them for SECONDS (default
# 60) between them, each seeded with its sample files under tests/data. Fails on any finding (the
# input is left in build/fuzz/findings/); prints how many inputs ran. What a fuzzer finds worth
# keeping stays in build/fuzz/corpus/ (the image readers) and build/fuzz/corpus-skin/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

scripts/setup.sh --test
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQEL_FUZZ=ON -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" --target qel_image_readers_fuzzer qel_skin_parser_fuzzer

mkdir -p "$build/corpus" "$build/corpus-skin" "$build/findings"
half=$(( seconds / 2 > 0 ? seconds / 2 : 1 ))

# fuzz NAME SECONDS CORPUS SEEDS...: one target's run, stopped on its first finding.
fuzz() {
  local name=$1 time=$2
  shift 2
  local log="$build/$name.log" status=0
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$build/fuzz/qel_${name}_fuzzer" \
    -max_total_time="$time" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/findings/" "$@" >"$log" 2>&1 || status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [[ $status -ne 0 ]]; then
    tail -n 60 "$log"
    echo "fuzz $name: a finding after ${runs:-?} inputs; the input is in $build/findings/" >&2
    exit 1
  fi
  echo "fuzz $name: ${runs:-?} inputs in $time s, no finding"
}

fuzz image_readers "$(( seconds - half ))" "$build/corpus" tests/data/bmp tests/data/ico tests/data/fuzz
fuzz skin_parser "$half" "$build/corpus-skin" tests/data/skin
