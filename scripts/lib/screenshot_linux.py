"""Takes docs/window.png and docs/result.png: the window set up for one
calculation, then the result box over it, on a private Xvfb.

    screenshot_linux.py REPO PROGRAM     (TR_WINDOW_CASES_PROGRAM names window_cases_json)
"""
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
