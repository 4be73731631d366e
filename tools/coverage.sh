#!/usr/bin/env bash
# Measures how much of engine/, gui/ and game/ the whole test suite runs: builds with gcc's --coverage in
# its own folder (build-coverage, or COVERAGE_BUILD_DIR), clears the counters, runs every ctest test (extra
# arguments go to ctest, e.g. -R to run some) and prints the line and branch coverage of the three
# libraries, overall and per folder (gcovr). Branches that only exception unwinding takes are left out of
# the branch figure. Every counted line with its state is kept in <build>/coverage.json, to compare two
# runs. Exits non-zero when a test fails (the figures are printed all the same). Without a display it runs
# itself again under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$0" "$@"
fi

build="${COVERAGE_BUILD_DIR:-$root/build-coverage}"
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
export ALSOFT_DRIVERS=null

# No optimisation, so that every source line keeps its own counter.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
  -DCMAKE_CXX_FLAGS="--coverage" -DCMAKE_EXE_LINKER_FLAGS="--coverage" \
  -DCMAKE_SHARED_LINKER_FLAGS="--coverage" >/dev/null
cmake --build "$build" -j "$jobs"

find "$build" -name "*.gcda" -delete
status=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@" || status=1

# gcov finds a source by the path it was compiled with, which ccache may make relative to the folder of
# the compile: each such folder (the parent of a CMakeFiles folder holding counters) is read on its own.
# gcov's own files land in the parts folder (those of sources since deleted stay there).
parts="$build/coverage-parts"
rm -rf "$parts"
mkdir -p "$parts"
cd "$parts"
part=0
for folder in $(find "$build" -name '*.gcda' | sed 's#/CMakeFiles/.*##' | sort -u); do
  part=$((part + 1))
  gcovr --root "$root" --object-directory "$folder" -j "$jobs" --exclude-throw-branches \
    --exclude-unreachable-branches --exclude-directories '.*/CompilerId.*' --json "$parts/$part.json" \
    "$folder/CMakeFiles"
done

# Headers are compiled through the build's include folders (<build>/include-roots/<library>/<library>/...);
# they are counted under their source path. A line or branch counts as run when any part ran it.
/usr/bin/python3 - "$build" "$parts" <<'PYTHON'
import glob, json, os, re, sys

build, parts = sys.argv[1:3]
include_root = re.compile(r"^.*?include-roots/(engine|gui|game)/")
lines = {}  # "file:line" -> [run, {branch index: run}]
for part in glob.glob(os.path.join(parts, "*.json")):
    for entry in json.load(open(part))["files"]:
        name = include_root.sub("", entry["file"])
        if name.split("/")[0] not in ("engine", "gui", "game"):
            continue
        for line in entry["lines"]:
            if line.get("gcovr/noncode"):
                continue
            record = lines.setdefault("%s:%d" % (name, line["line_number"]), [False, {}])
            record[0] = record[0] or line["count"] > 0
            for index, branch in enumerate(line["branches"]):
                record[1][index] = record[1].get(index, False) or branch["count"] > 0
json.dump(lines, open(os.path.join(build, "coverage.json"), "w"), indent=0, sort_keys=True)

rows = {}
for key, (run, branches) in lines.items():
    for folder in (key.split("/")[0], "all"):
        row = rows.setdefault(folder, [0, 0, 0, 0])
        row[0] += run
        row[1] += 1
        row[2] += sum(branches.values())
        row[3] += len(branches)


def percent(covered, total):
    return 100.0 * covered / total if total else 100.0


print(f"{'folder':8} {'lines':>24} {'branches':>24}")
for folder in ("engine", "gui", "game", "all"):
    lc, lt, bc, bt = rows.get(folder, [0, 0, 0, 0])
    print(f"{folder:8} {percent(lc, lt):6.2f} % ({lc:6}/{lt:6}) {percent(bc, bt):6.2f} % ({bc:6}/{bt:6})")
PYTHON
exit $status
