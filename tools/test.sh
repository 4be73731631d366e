#!/usr/bin/env bash
# Installs what is missing, builds the project twice (plain with -Werror, then with AddressSanitizer and
# UndefinedBehaviorSanitizer under clang) and runs the whole test suite on both builds; builds the starter
# project against the plain build's installation and runs it; builds the API pages. Without a display it
# runs itself again under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$0" "$@"
fi

jobs=$(nproc)
export ALSOFT_DRIVERS=null

cmake -S "$root" -B "$root/build" -DKESTRITH_WERROR=ON -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build" -j "$jobs"

cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DKESTRITH_SANITIZE=ON -DKESTRITH_WERROR=ON -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build-asan" -j "$jobs"

status=0
echo "== tests (plain build)"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs" || status=1

echo "== starter project against the installed package"
"$root/tools/check-starter.sh" "$root/build" || status=1

echo "== API pages (any undocumented public member of the engine fails)"
cmake --build "$root/build" --target docs || status=1

echo "== tests (sanitizer build)"
# Mesa's driver leaks a little in every GL program; those reports are suppressed, the project's are not.
# Preloading the driver keeps it mapped until exit, so its frames can be named and matched.
driver=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
[ -f "$driver" ] && export LD_PRELOAD="$driver${LD_PRELOAD:+:$LD_PRELOAD}"
ASAN_OPTIONS="abort_on_error=0:detect_leaks=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" || status=1

echo "== fuzzing"
"$root/tools/fuzz.sh" || status=1

exit $status
