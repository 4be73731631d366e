#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, run and test, skipping any already present.
set -euo pipefail

packages=(
  cmake g++ clang-14 libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  libsfml-dev rapidjson-dev librapidxml-dev zlib1g-dev libzstd-dev doxygen
  xvfb xauth libgl1-mesa-dri xdotool imagemagick
  python3 python3-pil python3-fonttools tiled sox zstd gcovr
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
