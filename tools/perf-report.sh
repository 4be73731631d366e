#!/usr/bin/env bash
# Builds the benchmarks in Release and writes the performance report to docs/performance.md (printing it too).
# Without a display it runs itself under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKESTRITH_BENCHMARKS=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target PerformanceReport PhysicsBenchmark TilemapBenchmark >/dev/null
cd "$root"
export ALSOFT_DRIVERS=null
report="$root/docs/performance.md"
{
  echo "# Performance report"
  echo
  echo "Measured by \`tools/perf-report.sh\` in one run on $(nproc) cores ($(uname -m), $(date -u +%Y-%m-%d)),"
  echo "Release build, under Xvfb with Mesa's software renderer. Frame times include waiting for the frame."
  echo
  "$build/benchmarks/PerformanceReport" 2>/dev/null
  echo
  echo "Physics step for synthetic loads (Google Benchmark, \`benchmarks/PhysicsBenchmark.cpp\`, 5 repetitions;"
  echo "the argument multiplies 50 bodies and 300 platforms: 1, 4 and 16 give 50, 200 and 800 bodies):"
  echo
  echo '```'
  "$build/benchmarks/PhysicsBenchmark" --benchmark_color=false --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null | sed -n '/^Benchmark/,$p'
  echo '```'
  echo
  echo "Reading a 200 x 200 map of four layers, its tile data as CSV (/0) and as zlib-compressed base64 (/1):"
  echo "the TMX reader alone, and the tile map model built from it (reading included; Google Benchmark,"
  echo "\`benchmarks/TilemapBenchmark.cpp\`, 5 repetitions):"
  echo
  echo '```'
  "$build/benchmarks/TilemapBenchmark" --benchmark_color=false --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_filter=SquareMap 2>/dev/null |
    sed -n '/^Benchmark/,$p' | grep -E '^(Benchmark|-+$|.*_median)'
  echo '```'
} > "$report.tmp"
mv "$report.tmp" "$report"
cat "$report"
