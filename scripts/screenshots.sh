#!/usr/bin/env bash
# Takes the pictures in docs/: the window set up for one calculation
# (转速（转/分钟） on the input side with 1500, 转速（弧度/秒） on the output
# side with 100) as docs/window.png, and after 确 定 the result box over the
# window as docs/result.png. Runs the program on a private Xvfb (no window
# manager, so no title bars) and drives it with xdotool.
#
#   bash scripts/screenshots.sh [BUILD_DIR]     (default: build/, configured if new)
#
# Needs xvfb, xdotool, x11-utils, xclip and imagemagick.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$repo/build}")

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target transmission-ratio -j2

python3 - "$repo" "$build/app/transmission-ratio" <<'EOF'
import os
import sys

repo, program_path = sys.argv[1:]
sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.join(repo, "tests", "e2e"))
from form2_user import CAPTION, COMMAND1, enter_calculation
from xsession import XSession

docs = os.path.join(repo, "docs")
with XSession() as x:
    program = x.start([program_path])
    window = x.wait_for_window(program, CAPTION)
    enter_calculation(x, window, "1500", "100")
    # The pointer would hide part of a field: park it outside the window.
    x.tool("xdotool", "mousemove", "0", "0")
    x.screenshot(os.path.join(docs, "window.png"), x.geometry(window))
    x.click_control(window, COMMAND1)
    box = x.wait_for_new_window(program, {window})
    x.tool("xdotool", "mousemove", "0", "0")
    x.screenshot(os.path.join(docs, "result.png"),
                 x.bounding_box(x.geometry(window), x.geometry(box)))
    x.keys("Return")
    x.wait_gone(program, box)
    x.close_window(program, window)
print(f"wrote {docs}/window.png and {docs}/result.png")
EOF
