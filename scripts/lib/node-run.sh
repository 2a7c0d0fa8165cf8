#!/usr/bin/env bash
# Runs a program built by Emscripten (its .js file) under Node, as ctest and
# gtest_discover_tests do through CMAKE_CROSSCOMPILING_EMULATOR
# (cmake/Emscripten.cmake):
#
#   scripts/lib/node-run.sh PROGRAM.js [ARGUMENTS...]
#
# Emscripten 3.1.6 loads the program's .wasm with fetch() wherever fetch
# exists, and Node 18 and later have one that cannot read files: it is turned
# off. The exit status is the program's. TR_NODE names another Node.
set -euo pipefail

if (($# < 1)); then
  echo "usage: node-run.sh PROGRAM.js [ARGUMENTS...]" >&2
  exit 2
fi
exec "${TR_NODE:-node}" --no-experimental-fetch "$@"
