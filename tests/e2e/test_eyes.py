"""The eyes follow the real pointer: for each place of the pointer in turn,
the pupils on a real screenshot sit where the tracking formula puts them."""

import time
import unittest

from peerkin_e2e import EYES, TICKS, Figure, expected_pupil, move_mouse, screenshot


def colours_in(shot, window):
    """Reads window points from a screenshot, for the pupil reader."""
    return lambda points: [shot.pixel(window[0] + x, window[1] + y) for x, y in points]


class EyesFollowThePointer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.figure = Figure().__enter__()
        cls.addClassCleanup(cls.figure.__exit__, None, None, None)
        cls.window = cls.figure.geometry()

    def assert_pupils_follow(self, pointer):
        move_mouse(*pointer)
        time.sleep(TICKS)
        for eye, got in zip(EYES, self.figure.pupils(colours_in(screenshot(), self.window))):
            want = expected_pupil(eye, self.window, pointer)
            self.assertIsNotNone(got, f"no pupil in the eye at {eye}")
            self.assertLessEqual(abs(got[0] - want[0]), 1.0, f"eye {eye}: pupil at {got}, want {want}")
            self.assertLessEqual(abs(got[1] - want[1]), 1.0, f"eye {eye}: pupil at {got}, want {want}")

    def test_pupils_for_pointer_places(self):
        # The rule's own rows are the in-process table's; here, the real pointer in and far outside the window.
        cases = {
            "3 right and 4 down of the left eye": (self.window[0] + EYES[0][0] + 3, self.window[1] + EYES[0][1] + 4),
            "far away, bottom right": (1000, 740),
            "far away, top left": (0, 0),
        }
        for name, pointer in cases.items():
            with self.subTest(name):
                self.assert_pupils_follow(pointer)


if __name__ == "__main__":
    unittest.main()
