#!/usr/bin/env bash
# Builds the program for the browser with Debian's Emscripten, in Release
# (the preset web, into build-web/, or the folder given): calc/, toolkit/ and
# ui/ for WebAssembly with their tests, which ctest runs under Node, and the
# page: one self-contained transmission-ratio.html, and host/, a folder for a
# web host. Prints the folder's path, then the page's last. Installs what is
# missing first.
#
#   bash scripts/build-web.sh && ctest --preset web
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-web}

bash scripts/install-deps.sh web
cmake --preset web -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"
realpath "$build/app/host" "$build/app/transmission-ratio.html"
