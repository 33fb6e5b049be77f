#!/usr/bin/env bash
# Makes three short demo clips in DIR, named as a dash camera names them:
# FILE0001.MOV and FILE0002.MOV, two consecutive freeGPS clips of one drive,
# and FILE0003.MOV, a gps0 clip. Clips already in DIR are kept, so a second
# run costs nothing.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
dir=$1
tool="$(cd "$(dirname "$0")" && pwd)/vek-fixture.py"
seconds=10            # long enough to see the route move, quick to encode
size=1280x720
start=2024-05-18T08:30:00

mkdir -p "$dir"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

make_clip() {
  local name=$1
  shift
  if [ -e "$dir/$name" ]; then
    return
  fi
  python3 "$tool" --seconds "$seconds" --size "$size" --audio --seed 7 \
    --out "$dir/$name" --json "$scratch/$name.json" "$@"
  echo "made $dir/$name"
}

make_clip FILE0001.MOV --kind freegps --start "$start"
make_clip FILE0002.MOV --kind freegps --start "$start" --drive-offset "$seconds"
make_clip FILE0003.MOV --kind gps0 --start 2024-05-18T17:45:00 --seed 8
