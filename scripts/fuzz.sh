#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (-Werror over the same warnings as
# the GCC build) and runs each for a bounded time
# over a seed corpus of generated clips. Usage: scripts/fuzz.sh [SECONDS]
# Every executable named *-fuzz in the build is a target; when a companion
# *-fuzz-seeds program exists it writes the target's seed corpus. A crash, a
# hang (over 10 s per input) or a sanitizer report fails the run; the input
# that caused it is kept in build-fuzz/artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"
max_len=16384 # inputs far larger than the seeds only slow the search down

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DVEK_FUZZ=ON -DVEK_WERROR=ON -DVEK_BUILD_APP=OFF -DVEK_BUILD_TESTS=OFF -DVEK_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
bin="$build/bin"
artifacts="$build/artifacts/"
mkdir -p "$artifacts"
for target in "$bin"/*-fuzz; do
  name=$(basename "$target")
  seeds="$build/seeds/$name"
  corpus="$build/corpus/$name"
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus"
  if [[ -x "$target-seeds" ]]; then
    "$target-seeds" "$seeds"
  fi
  echo "== $name: ${seconds}s over $(ls "$seeds" | wc -l) seeds and $(ls "$corpus" | wc -l) kept inputs"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
    -artifact_prefix="$artifacts" -print_final_stats=1 "$corpus" "$seeds"
done
