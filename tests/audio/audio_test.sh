#!/usr/bin/env bash
# A slime to the listener's left must be heard louder in the left channel. OpenAL Soft writes its mix to a
# wave file instead of a sound card; sox measures each channel.
set -euo pipefail
probe=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/alsoft.conf" <<CONF
[general]
drivers=wave
[wave]
file=$work/out.wav
CONF
ALSOFT_CONF="$work/alsoft.conf" ALSOFT_DRIVERS=wave "$probe" "$data"
rms() { sox "$work/out.wav" -n remix "$1" stat 2>&1 | awk '/RMS +amplitude/ {print $3}'; }
left=$(rms 1)
right=$(rms 2)
echo "left RMS $left, right RMS $right"
awk -v l="$left" -v r="$right" 'BEGIN { exit !(l > 0.001 && l > 2 * r) }'
