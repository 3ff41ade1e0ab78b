"""The native program on a headless KWin Wayland session, through its
Xwayland: the program loads its KWin script at start, the eyes follow the
pointer over the bare desktop and over a native Wayland window, and the
script is unloaded when the program ends; a script stopped from outside
leaves X in charge, and the program goes on."""

import os
import signal
import time
import unittest

from peerkin_e2e import FIGURE_SIZE, wait_until
from test_wayland_gnome import LEFT, RIGHT, TURN, OnAnyDesktop, PromisesOnAnyDesktop, release
from pydesktop.sessions import SIZE, TICKS, KWin, Unavailable, WaylandFigure

DELIVERY = 10  # seconds for a move of the test's pointer to reach X: the desktop's part, not the program's


class OnKWin(OnAnyDesktop, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        try:
            cls.desktop = KWin(release()).__enter__()
            cls.addClassCleanup(cls.desktop.__exit__)
            cls.pointer = cls.desktop.pointer()
        except Unavailable as reason:
            raise unittest.SkipTest(f"headless KWin cannot start here: {reason}")

    def follows_over_x(self, figure, place):
        """As follows, for a place over an X11 window. The pointer is moved
        until X has it there, as a hand keeps moving it (Xwayland under KWin
        now and then misses a lone synthetic motion, and a KWin still busy
        starting takes its time); the pupils must then turn within TURN. Returns the
        seconds from X having the place to the pupils showing it, or None."""
        if not figure.point_at(self.pointer, place, DELIVERY):
            return None
        seen = time.monotonic()
        if not wait_until(lambda: figure.looks_at(place), TURN, interval=0.05):
            return None
        return time.monotonic() - seen

    @staticmethod
    def seen(figure, place):
        """What a failed look saw, for its message."""
        return (f"pupils {figure.pupils()} for {place}; X has the pointer at {figure.x.pointer()}"
                f" and the window at {figure.place()}")

    def test_pupils_follow_over_the_bare_desktop_and_the_script_goes_with_the_program(self):
        with WaylandFigure(self.desktop) as figure:
            self.assertTrue(self.desktop.script_loaded())
            for name, place in [("far left", LEFT), ("far right", RIGHT), ("far left again", LEFT)]:
                with self.subTest(name):
                    self.assertTrue(self.follows(figure, place), f"pupils {figure.pupils()} for {place}")
            self.assertEqual(figure.said(), "")
            figure.request_close()  # as from the taskbar
            self.assertEqual(figure.process.wait(5), 0)
        self.assertFalse(self.desktop.script_loaded(), "the script outlived the program")

    def test_a_script_stopped_from_outside_leaves_x_in_charge(self):
        with WaylandFigure(self.desktop) as figure:
            self.assertTrue(self.follows(figure, LEFT))
            time.sleep(TICKS)  # the script's last report of that move is in
            self.desktop.unload_script()
            window = figure.place()
            for offset in (52, 138):  # below each eye, on the face
                place = (window[0] + offset, window[1] + 170)
                self.assertIsNotNone(self.follows_over_x(figure, place), self.seen(figure, place))
            self.assertIsNone(figure.process.poll())

    def test_a_stalled_bus_does_not_hold_the_tick_up(self):
        with WaylandFigure(self.desktop) as figure:
            self.assertTrue(self.follows(figure, LEFT))
            time.sleep(TICKS)
            bus = self.desktop.processes[0]  # the session bus, which carries the script's reports
            os.kill(bus.pid, signal.SIGSTOP)
            try:
                window = figure.place()
                turns = []
                for offset in (52, 138, 52, 138):
                    place = (window[0] + offset, window[1] + 170)
                    turns.append(self.follows_over_x(figure, place))
                    self.assertIsNotNone(turns[-1], self.seen(figure, place))
                # Counted from X having the place, so that a desktop slowed by
                # its stopped bus does not count. Ticks are 70 ms apart; a tick
                # that waited a second on the bus would show one of four turns
                # late nearly every run.
                self.assertLess(max(turns), 0.5, f"the pupils took {turns} s")
            finally:
                os.kill(bus.pid, signal.SIGCONT)
            self.assertTrue(self.follows(figure, RIGHT), "the script's reports come through again")

    def test_without_its_script_the_program_says_so_once_and_goes_on(self):
        with WaylandFigure(self.desktop, helpers=False) as figure:
            window = figure.place()
            place = (window[0] + 52, window[1] + 170)
            self.assertIsNotNone(self.follows_over_x(figure, place), self.seen(figure, place))
            self.assertEqual(figure.said().count("the KWin script is missing"), 1, figure.said())
            self.assertEqual(figure.said().count("\n"), 1, figure.said())
            self.assertFalse(self.desktop.script_loaded())


class OtherPromises(PromisesOnAnyDesktop, unittest.TestCase):
    """What KWin does with the figure's other promises, as the README's
    Wayland section states them."""

    @classmethod
    def setUpClass(cls):
        OnKWin.setUpClass.__func__(cls)

    def test_first_place_is_the_top_centre(self):
        with WaylandFigure(self.desktop) as figure:
            x, y = figure.place()
            self.assertLessEqual(abs(x - (SIZE[0] - FIGURE_SIZE[0]) / 2), 1)
            self.assertEqual(y, 0)

    def test_drag_moves_and_double_click_stores_and_ends(self):
        with WaylandFigure(self.desktop) as figure:
            x, y = figure.place()
            start = (x + 96, y + 200)
            self.assertTrue(figure.point_at(self.pointer, start), f"X has the pointer at {figure.x.pointer()}")
            path = [f"{start[0] + 10 * i},{start[1] + 5 * i} +30" for i in range(1, 11)]
            self.pointer.steps("press", "+100", *path, "+100", "release")
            moved = wait_until(lambda: figure.place() == (x + 100, y + 50), 3)
            self.assertTrue(moved, f"the figure is at {figure.place()} after a drag from {(x, y)}")
            self.pointer.steps(*["press", "release", "+80"] * 2)
            self.assertEqual(figure.process.wait(5), 0)
            self.assertEqual(figure.stored(), f"[Orlo's Peerkin]\nTop={(y + 50) * 15}\nLeft={(x + 100) * 15}\n")


if __name__ == "__main__":
    unittest.main()
