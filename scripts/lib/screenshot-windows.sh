#!/usr/bin/env bash
# Takes docs/windows.png: the Windows build under Wine, set up for one
# calculation (转速（转/分钟） on the input side with 1500, 转速（弧度/秒） on the
# output side with 100) by the keyboard alone, with the result box open.
#
#   bash scripts/screenshots.sh windows [BUILD_DIR]    (default: build-windows/)
#
# Cross-builds first (scripts/build-windows.sh); needs xdotool, x11-utils and
# imagemagick besides what that installs.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$(bash "$repo/scripts/build-windows.sh" "${1:-build-windows}" | tail -n 1)

bash "$repo/scripts/lib/with-xvfb.sh" bash -s "$repo" "$program" <<'EOF_SHOT'
set -euo pipefail
repo=$1 program=$2
source "$repo/scripts/lib/x-window.sh"
caption="传动比计算（作者：Velnor）"
"$repo/scripts/lib/wine-run.sh" "$program" &
wait_for_window "$caption" 100
sleep 1
# The focus starts at the first option: Space chooses it, Tab goes to the
# other frame, Down chooses its rad/s option, Tab and Tab (past the closed
# diameter field) reach the speed fields; Enter presses 确 定.
xdotool key space Tab Down Tab
xdotool type 1500
xdotool key Tab
xdotool type 100
xdotool key Return
wait_for_window "Result！" 50
sleep 0.5
geometry=$(window_geometry "$caption")
import -window root -crop "$geometry" +repage "$repo/docs/windows.png"
xdotool key Return
sleep 0.5
xdotool key Escape
wait
echo "wrote $repo/docs/windows.png"
EOF_SHOT
