#!/usr/bin/env bash
# The page's size, its start-up and response in headless Chromium beside a
# bare page, and Lighthouse's audit of the host folder:
#   bash bench/web.sh [RUNS]
# Builds the page first with scripts/build-web.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-25}
mapfile -t built < <(bash scripts/build-web.sh | tail -n 2)
host=${built[0]}
page=${built[1]}
bash scripts/install-deps.sh web-page
(cd bench/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
  npm ci --no-audit --no-fund --silent)

size=$(stat -c %s "$page")
gzipped=$(gzip -9 -c "$page" | wc -c)
echo "$(basename "$page"): $((size / 1024)) KiB (target 400 KB), gzipped $((gzipped / 1024)) KiB (target 150 KB)"
echo "host folder: $(du -sk --apparent-size "$host" | cut -f1) KiB, of it index.html $(($(stat -c %s "$host/index.html") / 1024)) KiB"
node bench/web/startup.mjs "$page" "$host" "$runs"
node bench/web/lighthouse.mjs "$host"
