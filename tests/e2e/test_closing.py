"""Closing the figure the usual way ends the program without storing
anything: only a double-click stores. Under Windows that is Alt+F4 (or Close
on its taskbar button); on X11 the window manager or the taskbar sends the
window WM_DELETE_WINDOW, here sent straight, as no window manager runs."""

import os
import time
import unittest

from peerkin_e2e import Figure, click, drag_from, move_mouse, run, runs_natively


class ClosingStoresNothing(unittest.TestCase):
    def close_with_alt_f4(self, figure):
        x, y, width, _ = figure.geometry()
        move_mouse(x + width // 2, y + 40)
        click(3)  # activates the window without starting a drag
        time.sleep(0.3)
        run("xdotool", "key", "alt+F4")

    def close_from_outside(self, figure):
        if runs_natively():
            figure.request_close()
        else:
            self.close_with_alt_f4(figure)

    def test_close_without_a_settings_file_creates_none(self):
        with Figure() as figure:
            self.close_from_outside(figure)
            self.assertTrue(figure.wait_exit(10), "the program did not end")
            self.assertFalse(os.path.exists(figure.ini_path))

    def test_close_after_a_drag_stores_nothing(self):
        # The place changed since the start: closing must still not store it.
        text = "[Orlo's Peerkin]\r\nTop=1500\r\nLeft=3000\r\n"
        with Figure(ini_text=text) as figure:
            drag_from((290, 260), 5, (20, 10))
            self.assertEqual(figure.geometry()[:2], (300, 150))
            self.close_from_outside(figure)
            self.assertTrue(figure.wait_exit(10), "the program did not end")
            self.assertEqual(figure.read_ini(), text)


if __name__ == "__main__":
    unittest.main()
