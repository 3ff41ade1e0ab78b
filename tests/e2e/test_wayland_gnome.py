"""The native program on a headless GNOME Shell Wayland session, through its
Xwayland: with the program's extension enabled the eyes follow the pointer
over the bare desktop and over a native Wayland window, where X alone
would leave them staring; without the extension, or when it is switched off,
the program says so once (without, in a notification where the desktop
serves them) and goes on with what X sees. The desktop is this system's,
or a newer Debian's from a root of its own: PEERKIN_DEBIAN_SUITE names the
suite, PEERKIN_PACKAGES the folder of the program's package."""

import os
import time
import unittest

from peerkin_e2e import FIGURE_SIZE, runs_natively, wait_until
from pydesktop.sessions import SIZE, TICKS, GnomeShell, NotifyCalls, Release, Unavailable, WaylandFigure, debian_release

LEFT, RIGHT = (5, SIZE[1] // 2), (SIZE[0] - 5, SIZE[1] // 2)  # the screen's far left and far right
TURN = 3  # seconds for the pupils to turn: ticks and reports, with room for a slow machine


def release():
    """The desktops' release under test: a Debian root's where
    PEERKIN_DEBIAN_SUITE names one, else this system's, with the program
    and its helpers from the build tree."""
    suite = os.environ.get("PEERKIN_DEBIAN_SUITE")
    if suite:
        return debian_release(suite, os.environ.get("PEERKIN_PACKAGES", ""))
    share = os.environ.get("PEERKIN_HELPERS_SHARE", "")
    if not os.path.isdir(share):
        raise unittest.SkipTest("PEERKIN_HELPERS_SHARE does not name the helpers' folder")
    if not runs_natively():
        raise unittest.SkipTest("the Wayland desktops run the native program, named by PEERKIN_EXE")
    return Release(share, os.environ["PEERKIN_EXE"])


def gnome(**options):
    try:
        return GnomeShell(release(), **options).__enter__()
    except Unavailable as reason:
        raise unittest.SkipTest(f"headless GNOME Shell cannot start here: {reason}")


class OnAnyDesktop:
    """Cases of every desktop, for a class that starts one (desktop) and its
    pointer (pointer)."""

    def follows(self, figure, place):
        self.pointer.move_to(*place)
        return wait_until(lambda: figure.looks_at(place), TURN, interval=0.1)

    def test_pupils_follow_over_a_native_wayland_window(self):
        window = self.desktop.spawn(["gjs", os.path.join(os.path.dirname(__file__), "wayland", "native_window.js")],
                                    env=dict(self.desktop.client_env(), GDK_BACKEND="wayland"))
        try:
            time.sleep(2)  # the window maps under the figure, which stays above it
            with WaylandFigure(self.desktop) as figure:
                for place in (LEFT, RIGHT):
                    with self.subTest(place=place):
                        self.assertTrue(self.follows(figure, place), f"pupils {figure.pupils()} for {place}")
        finally:
            window.kill()



class PromisesOnAnyDesktop:
    """What every desktop keeps of the figure's other promises."""

    def test_stored_place_is_kept(self):
        with WaylandFigure(self.desktop, settings="[Orlo's Peerkin]\nTop=4500\nLeft=3000\n") as figure:
            self.assertEqual(figure.place(), (200, 300))

    def test_top_most_is_the_above_state(self):
        with WaylandFigure(self.desktop) as figure:
            self.assertIn("_NET_WM_STATE_ABOVE", figure.window_state())


class WithTheExtension(OnAnyDesktop, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = gnome()
        cls.addClassCleanup(cls.desktop.__exit__)
        cls.pointer = cls.desktop.pointer()
        time.sleep(1)
        cls.pointer.key(cls.pointer.ESCAPE)  # the shell starts in its overview

    def test_pupils_follow_over_the_bare_desktop(self):
        with NotifyCalls(self.desktop) as notified, WaylandFigure(self.desktop) as figure:
            for name, place in [("far left", LEFT), ("far right", RIGHT), ("far left again", LEFT)]:
                with self.subTest(name):
                    self.assertTrue(self.follows(figure, place), f"pupils {figure.pupils()} for {place}")
            self.assertEqual(figure.said(), "")
        self.assertEqual(notified.actions(), [], "a notification although the extension is enabled")

    def test_switched_off_extension_is_reported_once_and_x_steers_again(self):
        with WaylandFigure(self.desktop) as figure:
            self.assertTrue(self.follows(figure, LEFT))
            time.sleep(TICKS)  # the extension's last report of that move is in
            self.desktop.set_extension(False)
            try:
                said = wait_until(figure.said, 5)
                self.assertIn("switched off", said)
                # Over the figure's own window X sees the pointer, tick by tick.
                window = figure.place()
                for offset in (52, 138):  # below each eye, on the face
                    place = (window[0] + offset, window[1] + 170)
                    self.assertTrue(self.follows(figure, place), f"pupils {figure.pupils()} for {place}")
                self.desktop.set_extension(True)
                self.assertTrue(self.follows(figure, RIGHT), "the extension switched on again reports")
                self.assertEqual(figure.said().count("\n"), 1, figure.said())
                self.assertIsNone(figure.process.poll())
            finally:
                self.desktop.set_extension(True)


class WithoutTheExtension(unittest.TestCase):
    def test_offers_once_to_switch_it_on_and_goes_on(self):
        desktop = gnome(enable_extension=False)
        self.addCleanup(desktop.__exit__)
        with NotifyCalls(desktop) as notified, WaylandFigure(desktop) as figure:
            time.sleep(TICKS)
            self.assertEqual(figure.said(), "")
            self.assertIsNone(figure.process.poll(), "the program ended")
        self.assertEqual(notified.actions(), [2], "one notification, with one action: its key and label")

    def test_says_once_on_standard_error_where_no_notifications_are_served(self):
        desktop = gnome(enable_extension=False, notifications=False)
        self.addCleanup(desktop.__exit__)
        with WaylandFigure(desktop) as figure:
            said = wait_until(figure.said, 5)
            self.assertIn(f"gnome-extensions enable {desktop.extension}", said)
            self.assertEqual(said.count("\n"), 1, said)
            self.assertIsNone(figure.process.poll(), "the program ended")


class OtherPromises(PromisesOnAnyDesktop, unittest.TestCase):
    """What mutter does with the figure's other promises, as the README's
    Wayland section states them."""

    @classmethod
    def setUpClass(cls):
        WithTheExtension.setUpClass.__func__(cls)

    def test_first_place_is_centred_below_the_top_bar(self):
        with WaylandFigure(self.desktop) as figure:
            x, y = figure.place()
            self.assertLessEqual(abs(x - (SIZE[0] - FIGURE_SIZE[0]) / 2), 1)
            self.assertTrue(0 < y <= 64, f"top edge at {y}: mutter keeps windows off its top bar")

    def test_drag_moves_and_double_click_stores_and_ends(self):
        for name, steps, pause in [("a drag", 10, 0.05), ("a flick, released before mutter could take it", 5, 0.01)]:
            with self.subTest(name), WaylandFigure(self.desktop) as figure:
                x, y = figure.place()
                self.assertTrue(figure.point_at(self.pointer, (x + 96, y + 200)), f"X has it at {figure.x.pointer()}")
                self.pointer.press()
                for _ in range(steps):
                    self.pointer.move_by(100 // steps, 50 // steps)
                    time.sleep(pause)
                self.pointer.release()
                moved = wait_until(lambda: figure.place() == (x + 100, y + 50), 3)
                self.assertTrue(moved, f"the figure is at {figure.place()} after a drag from {(x, y)}")
                # At once, without a motion after the drag: the first double-click counts.
                for _ in range(2):
                    self.pointer.press()
                    self.pointer.release()
                    time.sleep(0.08)
                self.assertEqual(figure.process.wait(5), 0)
                self.assertEqual(figure.stored(), f"[Orlo's Peerkin]\nTop={(y + 50) * 15}\nLeft={(x + 100) * 15}\n")


if __name__ == "__main__":
    unittest.main()
