#!/usr/bin/env bash
# Installs what is missing, checks the C++ format and lints the page, runs
# clang-tidy over src/, builds with sanitizers and -Werror (conversion
# warnings included), builds the shipped programs optimised with -Werror,
# runs the fuzzers for a bounded time, then runs every test tier under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh"

# The dialect checks come first: they take seconds and fail on any finding.
"$root/scripts/check-format.sh"
(cd "$root" && npm run --silent lint:page)

build="$root/build-test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVEK_WERROR=ON -DVEK_SANITIZE=ON -DVEK_BUILD_BENCH=ON
# clang-tidy reads the compile database that the configure step wrote.
VEK_TIDY_JOBS=$jobs "$root/scripts/check-tidy.sh" "$build"
cmake --build "$build" -j "$jobs"
"$root/scripts/check-release.sh"

"$root/scripts/fuzz.sh" "${VEK_FUZZ_SECONDS:-60}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- \
  ctest --output-on-failure -j "$jobs" --timeout 600
