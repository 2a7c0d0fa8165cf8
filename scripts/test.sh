#!/usr/bin/env bash
# Builds and runs every test: the unit, handler and window tests, the same
# tests again in an AddressSanitizer + UndefinedBehaviorSanitizer build, a
# bounded fuzz run of the calculation, the 32-bit x86 builds with the
# calculation's tests under qemu-i386, the Windows build's tests under Wine,
# the web build's under Node and the page's in Chromium, Firefox and WebKit.
# Installs what is missing first.
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

echo "== 32-bit x86 build and test"
# The 32-bit Windows program is built, linked and checked for what it
# imports, not run: this machine's Wine is 64-bit only (its tests, which
# could not run either, are not built). The
# calculation's tests are built for 32-bit x86 Linux with the same flags and
# SSE2 doubles, linked statically and run under qemu-i386 (the kernel runs no
# 32-bit code). They compare exact doubles and texts: passing means 32-bit x86
# computes the same bits as x64.
TR_WINDOWS_ARCH=i686 TR_BUILD_TESTS=OFF bash scripts/build-windows.sh
cmake -S . -B build-linux-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR_BUILD_GUI=OFF >/dev/null
cmake --build build-linux-i386 --target calc_tests -j"$jobs"
ctest --test-dir build-linux-i386/tests/calc --output-on-failure -j"$jobs"

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
# administrators meet them: checksums, contents, the guide; under Wine the
# 64-bit installer installs, starts the program, replaces itself and a 32-bit
# install, refuses while the program runs, uninstalls (fresh prefix, own Xvfb).
# Packs the Windows block's program; uses its driver.
release_start=$SECONDS
bash scripts/package-windows.sh >/dev/null
bash scripts/with-xvfb.sh python3 tests/e2e_win32/release_test.py dist \
  build-windows/tests/e2e_win32/drive_program.exe
echo "Windows release: $((SECONDS - release_start)) s"

echo "== Web build and test"
# calc/, toolkit/ and ui/ built with Emscripten, their tests run under Node:
# the same exact doubles and texts as on Linux. Then the calculation's tests
# once more natively, on the number reading and writing that the web build
# uses in place of the standard library's.
web_start=$SECONDS
TR_BUILD_TESTS=ON bash scripts/build-web.sh
ctest --test-dir build-web --output-on-failure -j"$jobs"
cmake -S . -B build-portable -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR_BUILD_GUI=OFF \
  -DTR_BUILD_BENCHMARKS=OFF -DTR_PORTABLE_CHARCONV=ON >/dev/null
cmake --build build-portable -j"$jobs" --target calc_tests
ctest --test-dir build-portable/tests/calc --output-on-failure -j"$jobs"
echo "Web build and test: $((SECONDS - web_start)) s"

echo "== Web page end to end"
# The page that the web build made, in the three engines its users' browsers
# are made of, each driven through tests/e2e_web/engines.mjs (npm packages
# pinned by tests/e2e_web/package-lock.json; no browser or driver is
# downloaded): Debian's headless Chromium (playwright-core), Firefox ESR
# (puppeteer-core, WebDriver BiDi) and WebKitGTK (WebKitWebDriver,
# selenium-webdriver), the last two on an Xvfb of their own, whose pointer
# makes their drags. Geometry, boxes, keys, pastes and drops, closing, taps,
# accessibility; fonts and network in Chromium. Every engine runs, then the
# block fails if any failed.
page_start=$SECONDS
bash scripts/install-deps.sh web-page
(cd tests/e2e_web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
  npm ci --no-audit --no-fund --silent)
failed=()
for engine in chromium firefox webkit; do
  engine_start=$SECONDS
  display=()
  [[ $engine == chromium ]] || display=(bash scripts/with-xvfb.sh)
  TR_WEB_ENGINE=$engine TR_WEB_PAGE=$PWD/build-web/app/transmission-ratio.html \
    "${display[@]}" node --test tests/e2e_web/window.test.mjs || failed+=("$engine")
  echo "Web page end to end in $engine: $((SECONDS - engine_start)) s"
done
echo "Web page end to end: $((SECONDS - page_start)) s"
if ((${#failed[@]})); then
  echo "Web page end to end failed in: ${failed[*]}" >&2
  exit 1
fi
