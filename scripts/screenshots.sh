#!/usr/bin/env bash
# Takes the pictures in docs/ again:
#
#   bash scripts/screenshots.sh [linux]     window.png, result.png: the Qt window set up for one
#                                           calculation, then its result box (a private Xvfb)
#   bash scripts/screenshots.sh windows     windows.png: the Windows build under Wine with its box
#   bash scripts/screenshots.sh installer   installer.png: the 64-bit installer's first page (dist/)
#   bash scripts/screenshots.sh web [PAGE.html] [FOLDER]
#                                           web.png, web-result.png: the page in Chromium, or with
#                                           TR_WEB_ENGINE=firefox or webkit in that engine
#
# Each builds what it shows first. Needs xvfb, xdotool, x11-utils, xclip and
# imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-linux}
(($# > 0)) && shift
case $what in
  linux)
    cmake --preset default >/dev/null
    cmake --build --preset default --target transmission-ratio window_cases_json -j2
    TR_WINDOW_CASES_PROGRAM=$PWD/build/tests/toolkit/window_cases_json \
      python3 scripts/lib/screenshot_linux.py "$PWD" "$PWD/build/app/transmission-ratio"
    ;;
  windows) bash scripts/lib/screenshot-windows.sh "$@" ;;
  installer) bash scripts/lib/screenshot-installer.sh ;;
  web)
    page=${1:-}
    folder=${2:-docs}
    engine=${TR_WEB_ENGINE:-chromium}
    [[ -n $page ]] || page=$(bash scripts/build-web.sh | tail -n 1)
    bash scripts/install-deps.sh web-page
    (cd tests/toolkit/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
      npm ci --no-audit --no-fund --silent)
    display=()
    [[ $engine == chromium ]] || display=(bash scripts/lib/with-xvfb.sh)
    TR_WEB_ENGINE=$engine TR_WEB_PAGE=$(realpath "$page") TR_SHOT_FOLDER=$folder \
      "${display[@]}" node scripts/lib/screenshot_web.mjs
    ;;
  *)
    echo "screenshots.sh: linux, windows, installer or web, not '$what'" >&2
    exit 2
    ;;
esac
