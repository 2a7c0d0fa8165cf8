"""Form2 as a user sees it: its caption, where its controls are, and the
steps of one calculation done with mouse and keyboard.

    program = x.start([path])
    window = x.wait_for_window(program, CAPTION)
    enter_calculation(x, window, "1500", "100")   # Option1, Option5, Text1, Text3
    x.click_control(window, COMMAND1)
"""

import json
import os
import subprocess


def _layout():
    """Form2's layout as the program's tests write it (window_cases_json,
    named by TR_WINDOW_CASES_PROGRAM)."""
    program = os.environ["TR_WINDOW_CASES_PROGRAM"]
    output = subprocess.run([program], check=True, capture_output=True, text=True).stdout
    return json.loads(output)["layout"]


LAYOUT = _layout()
CAPTION = LAYOUT["caption"]
CLIENT_SIZE = tuple((twips * 96 + 720) // 1440 for twips in (LAYOUT["width"], LAYOUT["height"]))


def place(name):
    """The control's rectangle in twips of the client area (left, top, width,
    height): an option's frame adds its corner."""
    rows = {row["name"]: row for row in LAYOUT["controls"]}
    row = rows[name]
    frame = rows[row["container"]] if row["container"] else {"left": 0, "top": 0}
    return (row["left"] + frame["left"], row["top"] + frame["top"], row["width"], row["height"])


OPTION1 = place("Option1")  # rev/min, input side
OPTION5 = place("Option5")  # rad/s, output side
TEXT1 = place("Text1")  # input speed
TEXT3 = place("Text3")  # output speed
COMMAND1 = place("Command1")  # 确 定
COMMAND2 = place("Command2")  # 退 出


def enter_calculation(x, window, input_rev_per_min, output_rad_per_sec):
    """Gives the window the focus, chooses rev/min for the input and rad/s
    for the output side, and types the two speeds into their fields."""
    x.focus(window)
    x.click_control(window, OPTION1)
    x.click_control(window, OPTION5)
    x.click_control(window, TEXT1)
    x.type_text(input_rev_per_min)
    x.click_control(window, TEXT3)
    x.type_text(output_rad_per_sec)
