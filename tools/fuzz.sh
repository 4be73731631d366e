#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, in build-fuzz) and runs each for FUZZ_SECONDS seconds (default 60)
# from a scratch copy of its seed corpus in fuzz/corpus, with its dictionary from fuzz/dict, two at a time;
# then runs every kept input of fuzz/regressions once. The repository's corpus is never written. Exits
# non-zero when a target crashes, hangs or a sanitizer reports; the inputs that did are copied to
# build-fuzz/findings. FUZZ_BUILD_DIR overrides the build folder. Without a display it runs itself again
# under Xvfb (the tile map target makes GL textures).
set -euo pipefail
shopt -s nullglob
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
targets=(tilemap tilemap_json sprite_sheet animator tag_table theme layout)

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

# The build and the tools run without whatever a caller preloads; only the fuzzers get the GL driver.
unset LD_PRELOAD
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
cmake -S "$root" -B "$build" -DKESTRITH_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ALSOFT_DRIVERS=null
export ASAN_OPTIONS="abort_on_error=0:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
# As in the test script: the GL driver stays mapped so that its own leaks match the suppressions.
driver=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
preload=""
[ -f "$driver" ] && preload="$driver"

# Runs one target in $work/<name>; its exit status goes to $work/<name>/status.
fuzz_one() {
  local name=$1 dir="$work/$1"
  local fuzzer="$build/fuzz/fuzz_$name"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp -r "$root/fuzz/corpus/$name/." "$dir/corpus/"
  # The readers of JSON files share one dictionary.
  local dictionary="$root/fuzz/dict/$name.dict" options=()
  case $name in sprite_sheet | animator | tag_table) dictionary="$root/fuzz/dict/json.dict" ;; esac
  [ -f "$dictionary" ] && options+=(-dict="$dictionary")
  local status=0
  (cd "$dir" && LD_PRELOAD="$preload" "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "${options[@]}" "$dir/corpus" \
    </dev/null >"$dir/log" 2>&1) || status=$?
  local regressions=()
  [ -d "$root/fuzz/regressions/$name" ] && regressions=("$root/fuzz/regressions/$name"/*)
  if [ $status -eq 0 ] && [ ${#regressions[@]} -gt 0 ]; then
    (cd "$dir" && LD_PRELOAD="$preload" "$fuzzer" -timeout=10 -rss_limit_mb=2048 "${regressions[@]}" \
      </dev/null >>"$dir/log" 2>&1) || status=$?
  fi
  echo $status >"$dir/status"
}

echo "== fuzzing (${seconds} s per target)"
running=0
for name in "${targets[@]}"; do
  if [ $running -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  fuzz_one "$name" &
  running=$((running + 1))
done
wait

status=0
for name in "${targets[@]}"; do
  dir="$work/$name"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" 2>/dev/null | head -n 1 || true)
  kept=(); [ -d "$root/fuzz/regressions/$name" ] && kept=("$root/fuzz/regressions/$name"/*)
  regressions=${#kept[@]}
  if [ "$(cat "$dir/status" 2>/dev/null)" = "0" ]; then
    echo "fuzz_$name: ${runs:-0} inputs, $regressions regression inputs, no findings"
  else
    status=1
    echo "fuzz_$name: FAILED"
    tail -n 60 "$dir/log"
    if compgen -G "$dir/artifacts/*" >/dev/null; then
      mkdir -p "$build/findings/$name"
      cp "$dir/artifacts/"* "$build/findings/$name/"
      echo "fuzz_$name: the failing input is kept in $build/findings/$name"
    fi
  fi
done
exit $status
