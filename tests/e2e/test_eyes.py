"""The eyes follow the real pointer: for each place of the pointer in turn,
the pupils on a real screenshot sit where the tracking formula puts them."""

import time
import unittest

from peerkin_e2e import EYES, TICKS, Figure, expected_pupil, move_mouse, pupil_centre, screenshot

LEFT_EYE, RIGHT_EYE = EYES


def colours_in(shot, window):
    """Reads window points from a screenshot, for the pupil reader."""
    return lambda points: [shot.pixel(window[0] + x, window[1] + y) for x, y in points]


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
            got = pupil_centre(colours_in(shot, self.window), eye)
            self.assertIsNotNone(got, f"no pupil in the eye at {eye}")
            self.assertLessEqual(abs(got[0] - want[0]), 1.0, f"eye {eye}: pupil at {got}, want {want}")
            self.assertLessEqual(abs(got[1] - want[1]), 1.0, f"eye {eye}: pupil at {got}, want {want}")

    def test_pupils_for_pointer_places(self):
        # The rule's own rows are the in-process table's; here, the real pointer in and far outside the window.
        cases = {
            "3 right and 4 down": self.pointer_at(LEFT_EYE, 3, 4),
            "far away, bottom right": (1000, 740),
            "far away, top left": (0, 0),
        }
        for name, pointer in cases.items():
            with self.subTest(name):
                self.assert_pupils_follow(pointer)


if __name__ == "__main__":
    unittest.main()
