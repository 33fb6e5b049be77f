#!/usr/bin/env bash
# Fails when any C++ file differs from .clang-format's dialect; with --fix,
# rewrites them instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mode=(--dry-run -Werror)
[[ "${1:-}" == "--fix" ]] && mode=(-i)
git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' |
  xargs -r clang-format "${mode[@]}"
