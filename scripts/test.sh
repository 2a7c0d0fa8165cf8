#!/usr/bin/env bash
# Builds and runs every test; docs/testing.md says what each block runs and
# how to run one module's tests alone. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
jobs=$(nproc)

echo "== Build and test"
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default

echo "== Sanitizer build and test"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize

echo "== Fuzz run, beside the 32-bit x86 build and test"
# A fixed seed: the same run for the same code, so a failure can be replayed.
# The fuzzer takes one core for its time; the builds beside it need no display.
fuzz_log=$(mktemp)
FUZZ_SEED=${FUZZ_SEED:-20261207} bash scripts/run-fuzz.sh build-fuzz >"$fuzz_log" 2>&1 &
fuzz=$!
TR_WINDOWS_ARCH=i686 bash scripts/build-windows.sh
cmake --preset linux-i386 >/dev/null
cmake --build --preset linux-i386 -j"$jobs"
ctest --preset linux-i386
fuzzed=0
wait "$fuzz" || fuzzed=$?
cat "$fuzz_log"
rm -f "$fuzz_log"
((fuzzed == 0)) || { echo "Fuzz run failed" >&2; exit 1; }

echo "== Windows build and test"
stop_wine() {
  for prefix in build-windows/wine/prefix-*/; do
    [[ -d $prefix ]] && WINEPREFIX=$PWD/$prefix wineserver -k 2>/dev/null || true
  done
}
trap stop_wine EXIT
windows_start=$SECONDS
bash scripts/build-windows.sh
bash scripts/lib/with-xvfb.sh ctest --preset windows-x64
echo "Windows build and test: $((SECONDS - windows_start)) s"

echo "== Windows release"
release_start=$SECONDS
bash scripts/package-windows.sh >/dev/null
bash scripts/lib/with-xvfb.sh python3 tests/e2e_win32/release_test.py dist \
  build-windows/tests/e2e_win32/drive_program.exe
echo "Windows release: $((SECONDS - release_start)) s"

echo "== Web build and test"
web_start=$SECONDS
bash scripts/build-web.sh >/dev/null
ctest --preset web
cmake --preset portable-charconv >/dev/null
cmake --build --preset portable-charconv -j"$jobs"
ctest --preset portable-charconv
echo "Web build and test: $((SECONDS - web_start)) s"

echo "== Web page end to end"
page_start=$SECONDS
bash scripts/install-deps.sh web-page
(cd tests/toolkit/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
  npm ci --no-audit --no-fund --silent)
failed=()
for engine in chromium firefox webkit; do
  engine_start=$SECONDS
  display=()
  [[ $engine == chromium ]] || display=(bash scripts/lib/with-xvfb.sh)
  TR_WEB_ENGINE=$engine TR_WEB_PAGE=$PWD/build-web/app/transmission-ratio.html \
    "${display[@]}" node --test tests/toolkit/web/window.test.mjs || failed+=("$engine")
  echo "Web page end to end in $engine: $((SECONDS - engine_start)) s"
done
echo "Web page end to end: $((SECONDS - page_start)) s"
if ((${#failed[@]})); then
  echo "Web page end to end failed in: ${failed[*]}" >&2
  exit 1
fi
