"""The figure's handling with the real pointer: it stays above other windows,
follows a left-button drag while its eyes keep tracking, ignores other
buttons, and a double-click stores its place and ends the program."""

import time
import unittest

from peerkin_e2e import (EYES, PUPIL_OFFSET, SECTION, TICKS, TWIPS_PER_PIXEL, Figure, all_visible_windows, double_click,
                         drag, drag_from, grab, is_black, is_red, move_mouse, release, run, screenshot)

LEFT_EYE = EYES[0]


def ini_lines(text):
    return [line for line in text.splitlines() if line.strip()]


class Handling(unittest.TestCase):
    def test_window_is_top_most(self):
        with Figure() as figure:
            state = run("xprop", "-id", str(figure.window_id), "_NET_WM_STATE")
            self.assertIn("_NET_WM_STATE_ABOVE", state)

    def test_left_drag_moves_the_window_with_the_pointer_and_the_eyes_keep_following(self):
        with Figure() as figure:
            x, y, _, _ = figure.geometry()
            # Pointer far to the left first: both pupils look left.
            move_mouse(0, y + LEFT_EYE[1])
            time.sleep(TICKS)
            # The press comes in one command with the move to the grip, so
            # that pupils that look at the grip were drawn by ticks during the drag.
            grab(*figure.grip())
            try:
                drag(steps=10)
                time.sleep(TICKS)
                during = figure.geometry()
                shot = screenshot()
            finally:
                release(1)
            time.sleep(TICKS)

            self.assertEqual(during[:2], (x + 100, y + 50), "the window did not follow the pointer")
            self.assertEqual(figure.geometry()[:2], (x + 100, y + 50))
            # The pointer is now right of the left eye: its pupil must have
            # moved there during the drag.
            toward = shot.pixel(during[0] + LEFT_EYE[0] + PUPIL_OFFSET, during[1] + LEFT_EYE[1])
            away = shot.pixel(during[0] + LEFT_EYE[0] - PUPIL_OFFSET, during[1] + LEFT_EYE[1])
            self.assertTrue(is_black(toward), f"no pupil on the pointer's side: {toward}")
            self.assertTrue(is_red(away), f"the pupil stayed on the far side: {away}")

    def test_other_buttons_move_nothing(self):
        with Figure() as figure:
            before = figure.geometry()
            windows = all_visible_windows()
            for button in (3, 2):  # right, middle
                with self.subTest(button=button):
                    drag_from(figure.grip(), 6, button=button)
                    self.assertEqual(figure.geometry(), before)
            self.assertIsNone(figure.process.poll(), "the program ended")
            self.assertEqual(all_visible_windows(), windows, "a window appeared")

    def test_double_click_stores_the_place_and_ends_and_the_next_start_restores_it(self):
        # The first click of the double-click starts the platform's move loop;
        # the second must still arrive as a double-click.
        with Figure() as figure:
            drag_from(figure.grip(), 8, (-20, 15))
            x, y, _, _ = figure.geometry()
            started = time.monotonic()
            double_click()

            self.assertTrue(figure.wait_exit(3), "the program did not end")
            self.assertLess(time.monotonic() - started, 2.5)
            stored = figure.read_ini()
        self.assertEqual(ini_lines(stored),
                         [SECTION, f"Top={y * TWIPS_PER_PIXEL}", f"Left={x * TWIPS_PER_PIXEL}"])

        with Figure(ini_text=stored) as again:
            self.assertEqual(again.geometry()[:2], (x, y))

if __name__ == "__main__":
    unittest.main()
