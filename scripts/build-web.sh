#!/usr/bin/env bash
# Builds the program for the browser with Debian's Emscripten, in Release,
# into build-web/ (or the folder given): calc/, toolkit/ and ui/ for
# WebAssembly, and the page: one self-contained transmission-ratio.html, and
# host/, a folder for a web host. Prints the folder's path, then the page's
# last. Installs what is missing first.
#
# TR_BUILD_TESTS=ON builds their tests too, which ctest runs under Node
# (scripts/node-run.sh):
#
#   TR_BUILD_TESTS=ON bash scripts/build-web.sh && ctest --test-dir build-web -j2
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-web}

bash scripts/install-deps.sh web
# Debian's emscripten finds its JavaScript parser (acorn) in Debian's Node
# module folder only when told; cmake/Emscripten.cmake does the same for the
# links it runs.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B "$build" --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
  -DTR_BUILD_GUI=ON -DTR_BUILD_TESTS="${TR_BUILD_TESTS:-OFF}" -DTR_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
realpath "$build/app/host" "$build/app/transmission-ratio.html"
