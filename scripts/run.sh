#!/usr/bin/env bash
# Builds the program and starts its window. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run
cmake --preset default >/dev/null
cmake --build build --target transmission-ratio -j"$(nproc)"
exec build/app/transmission-ratio
