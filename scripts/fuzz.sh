#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/: the image readers, sequences of bitmap operations, the searches of
# rows handed in, the skin reader) with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz, and runs them for SECONDS (default 60) between them,
# each seeded with its sample files under tests/data and the hostile inputs in
# tests/data/fuzz/seeds. Fails on any finding (the input is left in build/fuzz/findings/): a crash,
# an input that runs past the time-out, or one that takes more memory than a small input ever
# should (one allocation over 64 MiB, or 1 GiB in all). Prints how many inputs ran. What a fuzzer
# finds worth keeping stays in build/fuzz/corpus-NAME/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

scripts/setup.sh --test
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQEL_FUZZ=ON -DQEL_BUILD_TESTS=OFF -DQEL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
targets=(image_readers bitmap_operations searches skin_parser)
# shellcheck disable=SC2046 # one word a target
cmake --build "$build" --target $(printf 'qel_%s_fuzzer ' "${targets[@]}")

mkdir -p "$build/findings"
share=$(( seconds / ${#targets[@]} > 0 ? seconds / ${#targets[@]} : 1 ))

# fuzz NAME SEEDS...: one target's run, stopped on its first finding.
fuzz() {
  local name=$1
  shift
  local log="$build/$name.log" corpus="$build/corpus-$name" status=0
  mkdir -p "$corpus"
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$build/fuzz/qel_${name}_fuzzer" \
    -max_total_time="$share" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=64 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/findings/" "$corpus" "$@" >"$log" 2>&1 || status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [[ $status -ne 0 ]]; then
    tail -n 60 "$log"
    echo "fuzz $name: a finding after ${runs:-?} inputs; the input is in $build/findings/" >&2
    exit 1
  fi
  echo "fuzz $name: ${runs:-?} inputs in $share s, no finding"
}

seeds=tests/data/fuzz/seeds
fuzz image_readers tests/data/bmp tests/data/ico tests/data/fuzz/regressions "$seeds"
fuzz bitmap_operations "$seeds"
fuzz searches "$seeds"
fuzz skin_parser tests/data/skin
