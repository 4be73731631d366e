#!/usr/bin/env bash
# Starts the game on copies of its data set, each with one file missing or damaged, and checks that it
# stops as a user should see it: an exit status from 1 to 127 (an error, not a signal) and a line
# "kestrith: ..." on stderr naming the file. Files of the level and of the credits are reached by clicking
# the menu's Play or Credits button.
# The game runs on a display of the test's own, so that the clicks reach nothing else.
#
# Usage: bad_data_test.sh <kestrith binary> <data folder>
set -euo pipefail
game=$1
data=$2
seconds=${BAD_DATA_SECONDS:-20}  # per run; the game normally stops within a few

work=$(mktemp -d)
xvfb=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Without -noreset the server resets whenever its last client leaves, and a game starting then finds no
# display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(cat "$work/display")"
export ALSOFT_DRIVERS=null
# The GL driver leaks a little in every program; leaks are the sanitizer build's tests' concern, not this.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset LD_PRELOAD

# Damages one file of a data folder in one of these ways.
damage() {
  local file=$1 how=$2
  case $how in
    missing) rm -f "$file" ;;
    empty) : >"$file" ;;
    garbage) printf 'garbage \000\377\376 <{[' >"$file" ;;
    truncated) head -c "$(($(stat -c %s "$file") / 2))" "$file" >"$file.part" && mv "$file.part" "$file" ;;
    integer-speed)
      python3 -c 'import json, sys
p = sys.argv[1]; d = json.load(open(p)); d["states"][0]["speed"] = 1; json.dump(d, open(p, "w"))' "$file" ;;
    tag-missing)
      python3 -c 'import json, sys
p = sys.argv[1]; d = json.load(open(p)); del d["5"]; json.dump(d, open(p, "w"))' "$file" ;;
    *) echo "unknown damage $how" >&2 && exit 2 ;;
  esac
}

# Runs the game in $1 and clicks at $3, $4 (window coordinates) until the game ends or $2 seconds have
# passed. Sets status to the exit status, or to "running" when the game was still running then.
run_game() {
  local dir=$1 limit=$2 x=$3 y=$4 window
  (cd "$dir" && exec "$game") >"$dir/stdout" 2>"$dir/stderr" &
  pid=$!
  local deadline=$((SECONDS + limit))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
    window=$(xdotool search --name '^Kestrith$' 2>/dev/null | head -n 1 || true)
    if [ -n "$window" ]; then
      xdotool mousemove --window "$window" "$x" "$y" click 1 2>/dev/null || true
    fi
    sleep 0.4
  done
  if kill -0 "$pid" 2>/dev/null; then
    status=running
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  else
    status=0
    wait "$pid" || status=$?
  fi
  pid=""
}

passed=0
failed=0
fail() {
  echo "FAIL $1: $2"
  sed 's/^/    stderr: /' "$3/stderr" | head -n 20
  failed=$((failed + 1))
}

# The menu's buttons in the 800 x 600 window: Play at (400, 300), Credits below it at (400, 380).

# file (relative to data) | damage | where the game reads it
cases=(
  "tags.json|garbage|start-up"
  "tags.json|tag-missing|start-up"
  "fonts/MatchupPro.ttf|missing|start-up"
  "icon.png|truncated|start-up"
  "logo_anim.json|truncated|logo"
  "logo_anim.png|missing|logo"
  "80x48Wolf.json|empty|menu"
  "fonts/Improbable.ttf|garbage|menu"
  "gui/gui_theme.txt|garbage|menu"
  "main.tmx|truncated|level"
  "main.tmx|missing|level"
  "tiles/k7v_dr2m_rogue-noir.png|garbage|level"
  "animated/player.json|truncated|level"
  "animated/rat_animator.json|integer-speed|level"
  "slime_01.wav|garbage|level"
  "gui/forms.png|missing|level"
  "ql_vrn.png|garbage|credits"
)

# Checks the run that run_game has just made in $2: stopped with an error and one line "kestrith: ..."
# on stderr that holds the text $3.
expect_error() {
  local name=$1 dir=$2 needle=$3
  local lines
  lines=$(grep -c '^kestrith: ' "$dir/stderr" || true)
  if [ "$status" = running ]; then
    fail "$name" "still running after $seconds s" "$dir"
  elif [ "$status" -eq 0 ] || [ "$status" -ge 128 ]; then
    fail "$name" "exit status $status" "$dir"
  elif grep -q -e 'AddressSanitizer' -e 'runtime error:' "$dir/stderr"; then
    fail "$name" "sanitizer report" "$dir"
  elif [ "$lines" -ne 1 ]; then
    fail "$name" "$lines lines 'kestrith: ...' instead of one" "$dir"
  elif ! grep '^kestrith: ' "$dir/stderr" | grep -q -F -e "$needle"; then
    fail "$name" "the line 'kestrith: ...' does not name $needle" "$dir"
  else
    echo "ok   $name: $(grep '^kestrith: ' "$dir/stderr")"
    passed=$((passed + 1))
  fi
}

for entry in "${cases[@]}"; do
  IFS='|' read -r file how where <<<"$entry"
  dir="$work/case"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp -r "$data" "$dir/data"
  damage "$dir/data/$file" "$how"
  y=300
  [ "$where" = credits ] && y=380
  run_game "$dir" "$seconds" 400 "$y"
  expect_error "$file $how ($where)" "$dir" "$(basename "$file")"
done

# Started from a folder without data/, the game names the first file that it looks for.
dir="$work/case"
rm -rf "$dir"
mkdir -p "$dir"
run_game "$dir" "$seconds" 400 300
expect_error "no data folder" "$dir" "data/tags.json"

# The same drive on the intact data set reaches the level and keeps running.
dir="$work/case"
rm -rf "$dir"
mkdir -p "$dir"
cp -r "$data" "$dir/data"
run_game "$dir" 6 400 300
if [ "$status" = running ] && ! grep -q '^kestrith: ' "$dir/stderr"; then
  echo "ok   intact data: still running in the level"
  passed=$((passed + 1))
else
  fail "intact data" "stopped with status $status" "$dir"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
