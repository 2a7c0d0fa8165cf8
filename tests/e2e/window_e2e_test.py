#!/usr/bin/env python3
"""The program in a real X server, driven only by mouse and keyboard.

    window_e2e_test.py PROGRAM

Starts PROGRAM on a private Xvfb as a user would, finds its window by title,
checks from outside that its client area is 457 x 307 pixels and centred,
computes the ratio of 1500 rev/min to 100 rad/s and reads the result box's
title and prompt (the prompt through Ctrl+C and the clipboard), shows that an
output speed of 0 gives an error box and leaves the window open, and closes
the window as a window manager does (WM_DELETE_WINDOW), expecting status 0.
A second start is ended with the 退 出 button; at scale factors 1.5 and 2 the
whole window grows by the factor and stays centred.
"""

import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from form2_user import (CAPTION, CLIENT_SIZE, COMMAND1, COMMAND2, TEXT3,  # noqa: E402
                        enter_calculation)
from xsession import SCREEN, XSession, reported_run  # noqa: E402


def read_box(x, program, known):
    """Waits for a message box over the window; returns (id, title, prompt),
    the prompt as Ctrl+C in the box copies it."""
    box = x.wait_for_new_window(program, known)
    title = x.title(box)
    x.focus(box)
    before = x.clipboard()
    x.keys("ctrl+c")
    prompt = x.wait_until_clipboard_changes(before)
    return box, title, prompt


def close_box(x, program, box):
    x.keys("Return")
    x.wait_gone(program, box)


def calculate_and_close(x, c, program_path):
    program = x.start([program_path])
    window = x.wait_for_window(program, CAPTION)
    c.reached(f"the window {CAPTION!r} is shown")

    left, top, width, height = x.geometry(window)
    c.equal((width, height), CLIENT_SIZE, "client area, width x height in pixels")
    offset = (2 * left + width - SCREEN[0], 2 * top + height - SCREEN[1])
    c.check(all(abs(d) <= 2 for d in offset),
            f"window centred on the {SCREEN[0]}x{SCREEN[1]} screen within a pixel",
            f"top-left at {left},{top}")

    # The road of one calculation.
    enter_calculation(x, window, "1500", "100")
    x.click_control(window, COMMAND1)
    box, title, prompt = read_box(x, program, {window})
    c.equal(title, "Result！", "title of the box after 确 定")
    c.equal(prompt, "传动比为： 1.570796", "prompt of the box (copied by Ctrl+C)")
    close_box(x, program, box)
    c.reached("Enter closes the box")
    c.check(x.visible_windows(program) == [window], "the window alone is shown again")

    # An output speed of 0, and Enter for 确 定 this time.
    x.focus(window)
    x.click_control(window, TEXT3)
    x.keys("ctrl+a")
    x.type_text("0")
    x.keys("Return")
    box, title, prompt = read_box(x, program, {window})
    c.equal(title, "Error！", "title of the box for an output speed of 0")
    c.equal(prompt, "输出速度为零，无法计算传动比！请检查输出速度的数值。",
            "its prompt says what to check")
    close_box(x, program, box)
    c.check(program.poll() is None and x.visible_windows(program) == [window],
            "after the error box the program runs on, its window shown")

    c.equal(x.close_window(program, window), 0,
            "exit status after the close request (WM_DELETE_WINDOW)")


def exit_button(x, c, program_path):
    program = x.start([program_path])
    window = x.wait_for_window(program, CAPTION)
    x.focus(window)
    x.click_control(window, COMMAND2)
    c.equal(x.wait_exit(program, "a click on 退 出"), 0, "exit status after 退 出")


def scaled_screens(x, c, program_path):
    """On a high-density screen Qt scales the whole window: the client area
    grows by the factor and stays centred."""
    for factor in ("1.5", "2"):
        program = x.start([program_path], extra_env={"QT_SCALE_FACTOR": factor})
        window = x.wait_for_window(program, CAPTION)
        left, top, width, height = x.geometry(window)
        expected = tuple(int(size * float(factor) + 0.5) for size in CLIENT_SIZE)
        c.equal((width, height), expected, f"client area at scale factor {factor}")
        offset = (2 * left + width - SCREEN[0], 2 * top + height - SCREEN[1])
        c.check(all(abs(d) <= 2 for d in offset), f"window centred at scale factor {factor}",
                f"top-left at {left},{top}")
        c.equal(x.close_window(program, window), 0, f"exit status at scale factor {factor}")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    program_path = os.path.abspath(sys.argv[1])
    with reported_run("window end-to-end") as c, XSession() as x:
        print(f"Xvfb on {x.display}, {SCREEN[0]}x{SCREEN[1]}; program {program_path}")
        calculate_and_close(x, c, program_path)
        exit_button(x, c, program_path)
        scaled_screens(x, c, program_path)


if __name__ == "__main__":
    main()
