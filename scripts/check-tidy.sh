#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the sources in src/, in parallel over
# the compile database of BUILD (default build-test).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
jobs=${VEK_TIDY_JOBS:-$(nproc)}
run-clang-tidy -quiet -j "$jobs" -p "$build" "$root/src/.*\.cpp$" > "$build/tidy.log" 2>&1 ||
  { grep -E "warning:|error:" "$build/tidy.log" | sort -u; exit 1; }
