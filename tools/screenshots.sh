#!/usr/bin/env bash
# Plays through the front end of the real game under Xvfb and writes docs/images/screenshots/{logo,menu,
# credits,level}.png: the logo, the menu, the credits (Credits clicked) and the level with its HUD (Back, then
# Play clicked). Then Escape returns to the menu, and Quit must end the program with exit status 0.
#
# Usage: tools/screenshots.sh [build-dir]   (default: build; configured and built here when needed)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/docs/images/screenshots

"$root/tools/install-deps.sh"
# An existing build directory keeps its own configuration (tests included).
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target kestrith -j "$(nproc)"
mkdir -p "$out"

# A display of our own; Xvfb picks a free number and reports it on the pipe. Without a window manager the
# window opens at (112, 212), so the screen is large enough to hold all of it (screenshots are clipped).
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r -t 10 display <&3
export DISPLAY=":$display"
export ALSOFT_DRIVERS=null

game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

cd "$root"
"$build/kestrith" &
game_pid=$!
window=$(timeout 10 xdotool search --sync --name '^Kestrith$' | head -n 1)
started=$(date +%s.%N)

# Seconds since the window appeared, so that the shots do not depend on how long start-up took.
wait_until() {
  sleep "$(echo "$1 - ($(date +%s.%N) - $started)" | bc -l | sed 's/^-.*/0/')"
}
shot() {
  import -window "$window" "$out/$1.png"
  echo "wrote docs/images/screenshots/$1.png"
}
# Clicks the window pixel (x, y); the mouse first moves there so the button shows its hover look.
click() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.2
  xdotool click 1
  sleep 0.5
}
# The game polls the keyboard once per frame, so a key is held long enough for several frames.
press() {
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
  sleep 0.5
}

# The logo has played its animation after about 0.8 s and gives way to the menu at 1.85 s.
wait_until 1.2
shot logo
wait_until 4.5
xdotool mousemove --window "$window" 400 300
sleep 0.3
shot menu

# Button centres in the 800 x 600 window, from the menu's layout: Play at the window centre, Credits and Quit
# 1.5 button heights (81 pixels with the game's font) further down each; Back 1.5 heights above the bottom.
click 400 381
shot credits
click 400 546
click 400 300
sleep 2
shot level

press Escape
click 400 462
status=0
wait "$game_pid" || status=$?
game_pid=""
if [ "$status" -ne 0 ]; then
  echo "the game exited with status $status after Quit" >&2
  exit 1
fi
echo "Quit ended the game with status 0"
