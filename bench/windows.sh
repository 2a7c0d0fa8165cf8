#!/usr/bin/env bash
# The Windows program's size and start-up: the stripped Release .exe, x64 and
# 32-bit x86, each against its 1.5 MiB target, and the x64 one's start-up
# under Wine side by side with a bare Win32 window with one Chinese label in
# the label font and the same manifest (bench/startup), median of RUNS runs
# each from CreateProcess to the shown window, against 1.15x the bare
# window's. Exits 1 when a target is missed.
#
#   bash bench/windows.sh [RUNS]      (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-20}
build=${BENCH_BUILD_DIR:-build-windows-bench}
program=$(TR_BUILD_BENCHMARKS=ON bash scripts/build-windows.sh "$build" | tail -n 1)
program_x86=$(TR_WINDOWS_ARCH=i686 bash scripts/build-windows.sh | tail -n 1)

size_target=$((3 * 1024 * 1024 / 2))
status=0
report_size() { # PROCESSOR EXE
  local size
  size=$(stat -c %s "$2")
  if ((size <= size_target)); then verdict="met   "; else verdict=MISSED; status=1; fi
  echo "$verdict transmission-ratio.exe ($1) is $((size / 1024)) KiB stripped (target <= $((size_target / 1024)) KiB)"
}
report_size x64 "$program"
report_size "32-bit x86" "$program_x86"

echo "== $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version 2>/dev/null)"
bash scripts/lib/with-xvfb.sh scripts/lib/wine-run.sh "$build/bench/startup/startup_probe_win32.exe" \
  "$runs" "$program" "$build/bench/startup/bare_window_win32.exe" || status=1
exit "$status"
