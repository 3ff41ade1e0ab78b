"""The figure as the screen shows it: the facts every script that looks for
it or at it relies on, kept here once, with the pupil reader."""

import math

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


def expected_pupil(eye, window, pointer):
    """Where a pupil belongs, in window pixels, for a window at window and a
    pointer on the screen."""
    dx, dy = window[0] + eye[0] - pointer[0], window[1] + eye[1] - pointer[1]
    distance = math.hypot(dx, dy) or 1.0
    return eye[0] - PUPIL_OFFSET * dx / distance, eye[1] - PUPIL_OFFSET * dy / distance


def pupil_centre(colours_of, eye):
    """The centre of the black pixels in an eye, in window pixels, or None;
    colours_of(points) gives the colours of window points (None: unreadable)."""
    radius = int(EYE_RADIUS)  # every whole pixel of the eye
    points = [(x, y) for y in range(eye[1] - radius, eye[1] + radius + 1)
              for x in range(eye[0] - radius, eye[0] + radius + 1)
              if (x - eye[0]) ** 2 + (y - eye[1]) ** 2 <= radius ** 2]
    black = [p for p, colour in zip(points, colours_of(points) or []) if is_black(colour)]
    if not black:
        return None
    return sum(p[0] for p in black) / len(black), sum(p[1] for p in black) / len(black)


def is_red(colour):
    return colour[0] > 192 and colour[1] < 64 and colour[2] < 64


def is_black(colour):
    return all(channel < 64 for channel in colour)
