#!/usr/bin/env bash
# Builds the calculation benchmark in Release (-O2) and runs it, five
# repetitions of each benchmark reported as mean, median, stddev and cv; the
# summary at the end says whether the time targets hold (on the medians).
# Extra arguments go to calc_bench, e.g. --benchmark_filter=CalculateRatio.
#
#   bash bench/calc.sh [BENCHMARK-ARGS...]
#   BENCH_BUILD_DIR=/tmp/build-bench bash bench/calc.sh   (default: build-bench/)
#
# Needs libbenchmark-dev.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${BENCH_BUILD_DIR:-$repo/build-bench}")

(cd "$repo" && cmake --preset bench -B "$build" >/dev/null)
cmake --build "$build" --target calc_bench -j2

echo "== $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs"
"$build/bench/calc_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
