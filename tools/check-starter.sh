#!/usr/bin/env bash
# Installs a configured build of the project into a temporary prefix, builds the starter project in
# examples/starter against that installation alone and runs it for a few hundred frames, so the installed
# package cannot rot. Needs a display (tools/test.sh provides one). Usage: tools/check-starter.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$root/examples/starter" -B "$work/starter" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/starter" -j "$(nproc)" >/dev/null
cd "$work/starter"
ALSOFT_DRIVERS=null ./starter --frames 300
echo "starter: built against the installed package and ran 300 frames"
