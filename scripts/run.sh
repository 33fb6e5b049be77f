#!/usr/bin/env bash
# Installs what is missing, builds the app and starts it with the clips given,
# or with generated demo clips when none are given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$(nproc)"

clips=("$@")
if [ ${#clips[@]} -eq 0 ]; then
  demo="${HOME}/VEK/demo"
  "$root/tools/make-demo-clips.sh" "$demo"
  mapfile -t clips < <(find "$demo" -maxdepth 1 -name '*.MOV' | sort)
fi
exec "$root/build/bin/vek" "${clips[@]}"
