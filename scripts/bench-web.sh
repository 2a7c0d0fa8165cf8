#!/usr/bin/env bash
# The page's size and its start-up and response in headless Chromium:
#   bash scripts/bench-web.sh [PAGE.html] [RUNS]
# Without a page, builds it first with scripts/build-web.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

page=${1:-}
runs=${2:-15}
if [[ -z $page ]]; then
  page=$(bash scripts/build-web.sh | tail -n 1)
fi
bash scripts/install-deps.sh web-page
(cd tests/e2e_web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)

size=$(stat -c %s "$page")
gzipped=$(gzip -9 -c "$page" | wc -c)
echo "$(basename "$page"): $((size / 1024)) KiB (target 400 KB), gzipped $((gzipped / 1024)) KiB (target 150 KB)"
node bench/web/startup.mjs "$page" "$runs"
