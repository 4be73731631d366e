#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the repository root (the game reads ./data/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" --target kestrith -j "$(nproc)"
cd "$root"
exec "$root/build/kestrith"
