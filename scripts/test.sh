#!/usr/bin/env bash
# Builds and runs every test: the unit, handler and window tests, the same
# tests again in an AddressSanitizer + UndefinedBehaviorSanitizer build, a
# bounded fuzz run of the calculation, and the Windows build's tests under
# Wine. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
jobs=$(nproc)

echo "== Build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Sanitizer build and test"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTR_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -LE real-display

echo "== Fuzz run"
# A fixed seed: the same run for the same code, so a failure can be replayed.
FUZZ_SEED=${FUZZ_SEED:-20261207} bash scripts/run-fuzz.sh build-fuzz

echo "== Windows build and test"
# Cross-built with mingw-w64 with the Release flags of the Windows program,
# and run under Wine in a private X server (the window tests need one). The
# calculation's tests compare exact doubles and texts: passing here means
# the Windows build computes the same bits as the Linux one.
stop_wine() {
  for prefix in build-windows/wine/prefix-*/; do
    [[ -d $prefix ]] && WINEPREFIX=$PWD/$prefix wineserver -k 2>/dev/null || true
  done
}
trap stop_wine EXIT
windows_start=$SECONDS
TR_BUILD_TESTS=ON bash scripts/build-windows.sh
bash scripts/with-xvfb.sh ctest --test-dir build-windows --output-on-failure -j"$jobs"
echo "Windows build and test: $((SECONDS - windows_start)) s"

echo "== Windows release"
# The zips and installers of scripts/package-windows.sh as users and lab
# administrators meet them: checksums, contents, the guide; the 64-bit
# installer installs, starts the program from its shortcut, installs again,
# uninstalls and refuses a second uninstall under Wine, in a fresh prefix on
# an Xvfb of its own. Uses the Windows block's driver and program.
release_start=$SECONDS
bash scripts/package-windows.sh >/dev/null
bash scripts/with-xvfb.sh python3 tests/e2e_win32/release_test.py dist \
  build-windows/app/transmission-ratio.exe build-windows/tests/e2e_win32/drive_program.exe
echo "Windows release: $((SECONDS - release_start)) s"
