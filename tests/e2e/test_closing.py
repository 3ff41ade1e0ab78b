"""Closing the figure the usual way (Alt+F4, or Close on its taskbar button)
ends the program without storing anything: only a double-click stores."""

import os
import time
import unittest

from peerkin_e2e import Figure, click, move_mouse, run


class ClosingStoresNothing(unittest.TestCase):
    def close_with_alt_f4(self, figure):
        x, y, width, _ = figure.geometry()
        move_mouse(x + width // 2, y + 40)
        click(3)  # activates the window without starting a drag
        time.sleep(0.3)
        run("xdotool", "key", "alt+F4")

    def test_close_without_a_settings_file_creates_none(self):
        with Figure() as figure:
            self.close_with_alt_f4(figure)
            self.assertTrue(figure.wait_exit(10), "the program did not end")
            self.assertFalse(os.path.exists(figure.ini_path))

    def test_close_leaves_an_existing_settings_file_as_it_was(self):
        text = "[Orlo's Peerkin]\r\nTop=1500\r\nLeft=3000\r\n"
        with Figure(ini_text=text) as figure:
            self.assertEqual(figure.geometry()[:2], (200, 100))
            self.close_with_alt_f4(figure)
            self.assertTrue(figure.wait_exit(10), "the program did not end")
            self.assertEqual(figure.read_ini(), text)


if __name__ == "__main__":
    unittest.main()
