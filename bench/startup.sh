#!/usr/bin/env bash
# Start-up benchmark: builds transmission-ratio and the bare Qt 6 window
# (bench/startup/) in Release and measures both side by side on a private
# Xvfb: start to window mapped, start to the window's first picture and VmRSS
# one second later, over RUNS runs each, and in transmission-ratio the time
# from Enter (1500 rev/min against 100 rad/s) to the result box's first
# picture. Prints median, min and max and whether the targets hold (exit
# status 1 when one is missed). Not a test: the figures depend on the machine
# and its load.
#
#   bash bench/startup.sh [RUNS]     (default: 20)
#   BENCH_BUILD_DIR=/tmp/build-startup bash bench/startup.sh
#                                            (default: build-bench-startup/)
#
# Needs xvfb, xdotool, x11-utils, xclip, libxdamage1 and libbenchmark-dev
# (bench/ needs it).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${BENCH_BUILD_DIR:-$repo/build-bench}")
runs=${1:-20}

(cd "$repo" && cmake --preset bench -B "$build" >/dev/null)
cmake --build "$build" --target transmission-ratio bare_window -j2

echo "== $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"
# The window's caption and places, as the tests write them.
(cd "$repo" && cmake --preset default >/dev/null && cmake --build --preset default --target window_cases_json -j2 >/dev/null)
TR_WINDOW_CASES_PROGRAM=$repo/build/tests/toolkit/window_cases_json \
  python3 "$repo/bench/startup/startup_bench.py" \
  "$build/app/transmission-ratio" "$build/bench/startup/bare_window" "$runs"
