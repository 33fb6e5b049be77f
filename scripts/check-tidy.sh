#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the sources in src/, in parallel over
# the compile database of BUILD (default build-test). Prints each finding
# once and fails on any. Usage: scripts/check-tidy.sh [BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
jobs=${VEK_TIDY_JOBS:-$(nproc)}
# The database holds GCC's command lines; clang ignores the GCC-only warning
# options among them (-Wno-restrict) instead of stopping on them.
run-clang-tidy -quiet -j "$jobs" -p "$build" -extra-arg=-Wno-unknown-warning-option \
  "$root/src/.*\.cpp$" > "$build/tidy.log" 2>&1 ||
  { sed 's/\x1b\[[0-9;]*m//g' "$build/tidy.log" | grep -E "(warning|error):" | sort -u; exit 1; }
