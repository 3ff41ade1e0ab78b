"""The eyes follow the real pointer: for each place of the pointer, the
pupils on a real screenshot sit where the tracking formula puts them."""

import math
import time
import unittest

from peerkin_e2e import BLACK, EYE_RADIUS, EYES, PUPIL_OFFSET, RED, Figure, move_mouse, screenshot, wait_until

LEFT_EYE, RIGHT_EYE = EYES
EYE_PIXELS = int(EYE_RADIUS)  # every whole pixel of an eye lies this close to its centre
LIGHT_CYAN = (192, 255, 255)
TICKS = 0.35  # seconds: several 70 ms ticks


def expected_pupil(eye, window, pointer):
    """Where a pupil belongs, in window pixels, for a pointer on the screen."""
    eye_x, eye_y = window[0] + eye[0], window[1] + eye[1]
    dx, dy = eye_x - pointer[0], eye_y - pointer[1]
    distance = math.hypot(dx, dy) or 1.0
    return eye[0] - PUPIL_OFFSET * dx / distance, eye[1] - PUPIL_OFFSET * dy / distance


def disc_pixels(shot, window, eye, radius):
    """The screen pixels within radius of an eye's centre, by window position."""
    for y in range(eye[1] - radius, eye[1] + radius + 1):
        for x in range(eye[0] - radius, eye[0] + radius + 1):
            if (x - eye[0]) ** 2 + (y - eye[1]) ** 2 <= radius ** 2:
                yield (x, y), shot.pixel(window[0] + x, window[1] + y)


def pupil_centre(shot, window, eye):
    """The centre of the black pixels inside an eye's disc, in window pixels."""
    black = [p for p, colour in disc_pixels(shot, window, eye, EYE_PIXELS) if colour == BLACK]
    if not black:
        return None
    return sum(p[0] for p in black) / len(black), sum(p[1] for p in black) / len(black)


class EyesFollowThePointer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.figure = Figure().__enter__()
        cls.addClassCleanup(cls.figure.__exit__, None, None, None)
        cls.window = cls.figure.geometry()

    def pointer_at(self, eye, dx, dy):
        return self.window[0] + eye[0] + dx, self.window[1] + eye[1] + dy

    def assert_pupils_follow(self, pointer):
        move_mouse(*pointer)
        time.sleep(TICKS)
        shot = screenshot()
        for eye in (LEFT_EYE, RIGHT_EYE):
            want = expected_pupil(eye, self.window, pointer)
            got = pupil_centre(shot, self.window, eye)
            self.assertIsNotNone(got, f"no pupil in the eye at {eye}")
            self.assertLessEqual(abs(got[0] - want[0]), 1.0, f"eye {eye}: pupil at {got}, want {want}")
            self.assertLessEqual(abs(got[1] - want[1]), 1.0, f"eye {eye}: pupil at {got}, want {want}")
        return shot

    def test_pupils_for_pointer_places(self):
        cases = {
            "on the left eye's centre": self.pointer_at(LEFT_EYE, 0, 0),
            "one pixel right of it": self.pointer_at(LEFT_EYE, 1, 0),
            "3 right and 4 down": self.pointer_at(LEFT_EYE, 3, 4),
            "straight above": self.pointer_at(LEFT_EYE, 0, -60),
            "half-way between the eyes": self.pointer_at(LEFT_EYE, 43, 0),
            "far away, bottom right": (1000, 740),
            "far away, top left": (0, 0),
        }
        for name, pointer in cases.items():
            with self.subTest(name):
                self.assert_pupils_follow(pointer)

    def test_named_pupil_places(self):
        # The left pupil's exact places for the simplest pointer positions.
        cases = [((0, 0), (52, 118)), ((1, 0), (62, 118)), ((3, 4), (58, 126)), ((0, -60), (52, 108))]
        for offset, place in cases:
            with self.subTest(offset=offset):
                move_mouse(*self.pointer_at(LEFT_EYE, *offset))
                time.sleep(TICKS)
                got = pupil_centre(screenshot(), self.window, LEFT_EYE)
                self.assertIsNotNone(got)
                self.assertLessEqual(math.dist(got, place), 1.0, f"pupil at {got}, want {place}")

    def test_red_discs_surround_the_pupils(self):
        shot = self.assert_pupils_follow((1000, 20))
        for eye in (LEFT_EYE, RIGHT_EYE):
            colours = [colour for _, colour in disc_pixels(shot, self.window, eye, EYE_PIXELS - 1)]
            self.assertEqual(set(colours) - {RED, BLACK}, set(), f"eye {eye} holds other colours")
            self.assertGreater(colours.count(RED), colours.count(BLACK) * 3)

    def test_no_light_cyan_pixel_is_ever_drawn(self):
        for pointer in [(10, 10), self.pointer_at(RIGHT_EYE, 5, 5), (900, 600)]:
            move_mouse(*pointer)
            time.sleep(TICKS)
            shot = screenshot()
            x0, y0, width, height = self.window
            cyan = [(x, y) for y in range(y0, y0 + height) for x in range(x0, x0 + width)
                    if shot.pixel(x, y) == LIGHT_CYAN]
            self.assertEqual(cyan, [])

    def test_eyes_keep_following_over_time(self):
        # The pupil moves with the pointer again and again, not only once.
        for pointer in [(0, 700), (1000, 0), (0, 0), (1000, 740)]:
            move_mouse(*pointer)
            moved = wait_until(lambda: self.pupil_matches(pointer), 3, interval=0.05)
            self.assertTrue(moved, f"pupils did not turn to {pointer}")

    def pupil_matches(self, pointer):
        got = pupil_centre(screenshot(), self.window, LEFT_EYE)
        want = expected_pupil(LEFT_EYE, self.window, pointer)
        return got is not None and math.dist(got, want) <= 1.0


if __name__ == "__main__":
    unittest.main()
