"""What a hand does with the pointer on an X display, through xdotool:
moves, presses, drags and double-clicks."""

import time

from .display import run

TICKS = 0.4  # seconds: several of the figure's 70 ms ticks


def move_mouse(x, y):
    run("xdotool", "mousemove", x, y)


def release(button=1):
    run("xdotool", "mouseup", button)


def click(button=1):
    run("xdotool", "click", button)


def double_click(button=1):
    run("xdotool", "click", "--repeat", "2", "--delay", "80", button)


def grab(x, y, button=1):
    """Puts the pointer at (x, y) and presses there in one command: a tick
    rarely falls in between."""
    run("xdotool", "mousemove", x, y, "mousedown", button)


def drag(steps, step=(10, 5), pause=0.05):
    """Moves the held pointer in small steps, as a hand would."""
    for _ in range(steps):
        run("xdotool", "mousemove_relative", "--", *step)
        time.sleep(pause)


def drag_from(place, steps, step=(10, 5), button=1, settle=TICKS):
    """A whole drag: pressed at place, moved in steps, released, and the
    ticks let pass before and after the release. The first step follows the
    press at once, as a quick hand's does: the program sees it only after
    the press."""
    run("xdotool", "mousemove", *place, "mousedown", button, "mousemove_relative", "--", *step)
    try:
        time.sleep(0.05)
        drag(steps - 1, step)
        time.sleep(settle)
    finally:
        release(button)
    time.sleep(settle)
