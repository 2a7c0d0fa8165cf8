#!/usr/bin/env bash
# The Windows program's size and start-up: the stripped Release .exe against
# its 1.5 MiB target, and its start-up under Wine side by side with a bare
# Win32 window with one Chinese label in the label font and the same manifest
# (bench/startup), median of RUNS runs each from CreateProcess to the shown
# window, against 1.15x the bare window's. Exits 1 when a target is missed.
#
#   bash scripts/bench-windows.sh [RUNS]      (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-20}
build=${BENCH_BUILD_DIR:-build-windows-bench}
program=$(TR_BUILD_BENCHMARKS=ON bash scripts/build-windows.sh "$build" | tail -n 1)

size_target=$((3 * 1024 * 1024 / 2))
size=$(stat -c %s "$program")
status=0
if ((size <= size_target)); then verdict="met   "; else verdict=MISSED; status=1; fi
echo "$verdict transmission-ratio.exe is $((size / 1024)) KiB stripped (target <= $((size_target / 1024)) KiB)"

echo "== $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version 2>/dev/null)"
bash scripts/with-xvfb.sh scripts/wine-run.sh "$build/bench/startup/startup_probe_win32.exe" \
  "$runs" "$program" "$build/bench/startup/bare_window_win32.exe" || status=1
exit "$status"
