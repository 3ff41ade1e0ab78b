"""The figure as the screen shows it: the facts every script that looks for
it or at it relies on, kept here once."""

CAPTION = "Form1"
SIZE = (193, 279)  # the window, in pixels
EYES = ((52, 118), (138, 118))  # eye centres in the window: left, right
EYE_RADIUS = 17.8
PUPIL_RADIUS = 7.0
PUPIL_OFFSET = 10  # pixels from an eye's centre to its pupil's, toward the pointer
RED, BLACK = (255, 0, 0), (0, 0, 0)


def caption_pattern():
    """The caption as a whole-name pattern for xdotool search."""
    return f"^{CAPTION}$"


def between_the_eyes():
    """The point midway between the eye centres, in the window."""
    (left_x, left_y), (right_x, right_y) = EYES
    return (left_x + right_x) // 2, (left_y + right_y) // 2
