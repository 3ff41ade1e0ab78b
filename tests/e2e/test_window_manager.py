"""The native program under the window managers people use, each started on
the test display as its desktop starts it. Under openbox everything the
handling, placement and closing tests check without a window manager still
holds. Under xfwm4 (Xfce; its compositor off and on), i3 and awesome (each
with its own default configuration): the first start at the top centre,
drags that move the face as far as the pointer goes, and a place stored
and restored twice without creeping."""

import os
import re
import unittest

import test_closing
import test_handling
import test_startup
from peerkin_e2e import SECTION, TWIPS_PER_PIXEL, Figure, drag_from, exe_path, runs_natively
from pydesktop.sessions import Unavailable, WindowManager, compositor_running

def i3_default_config(folder):
    """Debian's i3 configuration without its exec lines (the programs a
    session starts beside i3), written into folder."""
    with open("/etc/i3/config") as config:
        lines = [line for line in config if not re.match(r"\s*exec(_always)?\s", line)]
    path = os.path.join(folder, "i3-config")
    with open(path, "w") as config:
        config.writelines(lines)
    return path


# Xfce's session and awesome's run with a session bus; i3 needs none.
OPENBOX = WindowManager("openbox", "openbox", ["openbox"])
XFWM4 = WindowManager("xfwm4", "xfwm4", ["dbus-run-session", "--", "xfwm4", "--compositor=off"])
XFWM4_COMPOSITING = WindowManager("xfwm4 with its compositor", "xfwm4",
                                  ["dbus-run-session", "--", "xfwm4", "--compositor=on"], ready=compositor_running)
I3 = WindowManager("i3", "i3", ["i3", "-c", i3_default_config])
AWESOME = WindowManager("awesome", "awesome", ["dbus-run-session", "--", "awesome"])


def setUpModule():
    exe_path()
    if not runs_natively():
        raise unittest.SkipTest("the Windows program's window manager is Wine's own")


class UnderAWindowManager:
    """Runs a test class's cases with MANAGER running."""
    MANAGER = OPENBOX

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        try:
            cls.addClassCleanup(cls.MANAGER.__enter__().__exit__)
        except Unavailable as reason:
            raise unittest.SkipTest(f"no window manager: {reason}")


class HandlingUnderAWindowManager(UnderAWindowManager, test_handling.Handling):
    pass


class PlacementUnderAWindowManager(UnderAWindowManager, test_startup.Placement):
    pass


class ClosingUnderAWindowManager(UnderAWindowManager, test_closing.ClosingStoresNothing):
    pass


class PlaceAndDrag:
    """What a user of the desktop sees first, besides the face at the top
    centre (test_startup.Placement): a drag that moves it as far as the
    pointer goes, and the place a double-click stores opening there again
    however often it is stored."""

    def test_three_drags_each_move_the_face_as_far_as_the_pointer(self):
        with Figure() as figure:
            for turn, step in enumerate([(10, 5), (-5, 10), (12, -4)]):
                with self.subTest(drag=turn + 1):
                    before = figure.place()
                    drag_from(figure.grip(), 10, step)
                    self.assertEqual(figure.place(), (before[0] + 10 * step[0], before[1] + 10 * step[1]))

    def test_a_stored_place_opens_there_again_each_time(self):
        text = f"{SECTION}\r\nTop={118 * TWIPS_PER_PIXEL}\r\nLeft={568 * TWIPS_PER_PIXEL}\r\n"
        for start in range(1, 4):
            with self.subTest(start=start), Figure(ini_text=text) as figure:
                self.assertEqual(figure.place(), (568, 118))
                if start < 3:
                    self.assertTrue(figure.double_click(), "the double-click did not end the program")
                    self.assertEqual(figure.read_ini(), text, "the stored place crept")


class UnderXfwm4(UnderAWindowManager, PlaceAndDrag, test_startup.Placement):
    MANAGER = XFWM4


class UnderXfwm4WithItsCompositor(UnderAWindowManager, PlaceAndDrag, test_startup.Placement):
    MANAGER = XFWM4_COMPOSITING


class UnderI3(UnderAWindowManager, PlaceAndDrag, test_startup.Placement):
    MANAGER = I3


class UnderAwesome(UnderAWindowManager, PlaceAndDrag, test_startup.Placement):
    MANAGER = AWESOME


if __name__ == "__main__":
    unittest.main()
