"""Form2 as a user sees it: its caption, where its controls are, and the
steps of one calculation done with mouse and keyboard.

    program = x.start([path])
    window = x.wait_for_window(program, CAPTION)
    enter_calculation(x, window, "1500", "100")   # Option1, Option5, Text1, Text3
    x.click_control(window, COMMAND1)
"""

CAPTION = "传动比计算（作者：Velnor）"
CLIENT_SIZE = (457, 307)  # 6855 x 4605 twips

# Client-area rectangles in twips (left, top, width, height). The options sit
# in their frames: Frame1 at (120, 120), Frame2 at (3480, 120).
OPTION1 = (120 + 120, 120 + 240, 1695, 495)  # rev/min, input side
OPTION5 = (3480 + 120, 120 + 720, 2295, 495)  # rad/s, output side
TEXT1 = (4455, 2100, 1215, 375)  # input speed
TEXT3 = (4455, 2566, 1215, 375)  # output speed
COMMAND1 = (1560, 4080, 975, 375)  # 确 定
COMMAND2 = (4080, 4080, 975, 375)  # 退 出


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
