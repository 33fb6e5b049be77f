#!/usr/bin/env bash
# Builds what an installer builds (the app and vek-track, no tests) the way a
# distribution does: optimised, where GCC's warnings differ from the debug
# build's, and fails on any warning. Usage: scripts/check-release.sh [BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEK_WERROR=ON -DVEK_BUILD_TESTS=OFF -DVEK_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
