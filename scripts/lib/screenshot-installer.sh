#!/usr/bin/env bash
# Takes docs/installer.png: the first page of the 64-bit installer in
# dist/ (scripts/package-windows.sh), under Wine in a fresh prefix on an Xvfb
# of its own, cropped to the installer's window. Needs x11-utils and
# imagemagick besides what the packaging installs.
#
#   bash scripts/screenshots.sh installer
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
setup=$(ls "$repo"/dist/transmission-ratio-*-win64-setup.exe)
work=$(mktemp -d)
export TR_WINEPREFIX=$work/prefix
trap 'WINEPREFIX=$TR_WINEPREFIX wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
bash "$repo/scripts/lib/wine-prefix.sh" "$TR_WINEPREFIX" 96 && touch "$TR_WINEPREFIX/.complete"

bash "$repo/scripts/lib/with-xvfb.sh" bash -s "$repo" "$setup" <<'EOF_SHOT'
set -euo pipefail
repo=$1 setup=$2
source "$repo/scripts/lib/x-window.sh"
title="传动比计算 安装"
"$repo/scripts/lib/wine-run.sh" "$setup" &
wait_for_window "$title" 150
sleep 2
import -window root -crop "$(window_geometry "$title")" +repage "$repo/docs/installer.png"
WINEPREFIX=$TR_WINEPREFIX wineserver -k
wait || true
echo "wrote $repo/docs/installer.png"
EOF_SHOT
