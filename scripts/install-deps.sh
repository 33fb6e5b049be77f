#!/usr/bin/env bash
# Installs every Debian 12 package and npm module the project needs.
# Quick when everything is present: apt is only asked for what is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

wanted=$(grep -hv '^\s*#' "$root"/scripts/deps/*.txt | awk 'NF' | sort -u)
missing=()
for pkg in $wanted; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
# Node.js may come from elsewhere on a developer machine; Debian's is enough.
command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing Debian packages: ${missing[*]}"
  sudo_if_needed apt-get update -q
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ -f "$root/package-lock.json" ]; then
  stamp="$root/node_modules/.vek-lock-stamp"
  if [ ! -f "$stamp" ] || ! cmp -s "$root/package-lock.json" "$stamp"; then
    (cd "$root" && npm ci --no-audit --no-fund --loglevel=error)
    cp "$root/package-lock.json" "$stamp"
  fi
fi
