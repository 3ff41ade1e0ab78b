"""The native program on two monitors side by side: its screen is the
primary monitor, as a Windows program's is the primary display, and
positions count from that monitor's top-left corner."""

import unittest

from peerkin_e2e import FIGURE_SIZE, Figure, exe_path, run, runs_natively
from pydesktop.display import use_private_display

MONITOR = (1024, 768)


def setUpModule():
    exe_path()
    if not runs_natively():
        raise unittest.SkipTest("Windows programs have the primary display of Windows")


class TwoMonitors(unittest.TestCase):
    def setUp(self):
        use_private_display(self, size=(2 * MONITOR[0], MONITOR[1]))
        # The right one is primary: the figure must count from its corner.
        run("xrandr", "--setmonitor", "left", "1024/270x768/203+0+0", "none")
        run("xrandr", "--setmonitor", "*right", "1024/270x768/203+1024+0", "none")

    def test_a_first_start_centres_the_figure_on_the_primary_monitor(self):
        with Figure() as figure:
            x, y, width, _ = figure.geometry()
        self.assertEqual(y, 0)
        centred = MONITOR[0] + (MONITOR[0] - FIGURE_SIZE[0]) / 2
        self.assertLessEqual(abs(x - centred), 1, f"at x={x}, not centred on the primary monitor")


if __name__ == "__main__":
    unittest.main()
