#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# over a seed corpus of generated clips. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DVEK_FUZZ=ON -DVEK_BUILD_APP=OFF -DVEK_BUILD_TESTS=OFF -DVEK_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
cmake --build "$build" --target fuzz-run -- FUZZ_SECONDS="$seconds"
