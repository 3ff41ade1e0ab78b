"""The native program under the window managers people use, each started on
the test display as its desktop starts it. Under openbox everything the
handling, placement and closing tests check without a window manager still
holds. Under xfwm4 (Xfce; its compositor off and on), i3 and awesome (each
with its own default configuration): the first start at the top centre,
drags that move the face as far as the pointer goes, and a place stored
and restored twice without creeping."""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import time
import unittest

import test_closing
import test_handling
import test_startup
from peerkin_e2e import (FIGURE_SIZE, SECTION, TWIPS_PER_PIXEL, Figure, between_the_eyes, exe_path, move_mouse,
                         move_mouse_relative, private_folder, release, run, runs_natively, screen_size, wait_until,
                         xlib)

START_TIMEOUT = 15  # seconds for a window manager to take the display
TICKS = 0.4  # seconds: several of the figure's 70 ms ticks
GRIP = between_the_eyes()


def manager_running():
    """True while the check window a window manager names on the root exists
    (the name outlives the manager)."""
    out = run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
    if "window id #" not in out:
        return False
    window = out.split("#")[-1].strip()
    return subprocess.run(["xwininfo", "-id", window], capture_output=True).returncode == 0


def compositor_running():
    """True while a compositing manager owns the screen's _NET_WM_CM_S0."""
    x = xlib.library()
    x.XGetSelectionOwner.restype = ctypes.c_ulong
    x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    with xlib.Connection() as connection:
        atom = x.XInternAtom(connection.display, b"_NET_WM_CM_S0", 0)
        return x.XGetSelectionOwner(connection.display, atom) != 0


def i3_default_config(folder):
    """Debian's i3 configuration without its exec lines (the programs a
    session starts beside i3), written into folder."""
    with open("/etc/i3/config") as config:
        lines = [line for line in config if not re.match(r"\s*exec(_always)?\s", line)]
    path = os.path.join(folder, "i3-config")
    with open(path, "w") as config:
        config.writelines(lines)
    return path


class WindowManager:
    """A window manager started on the test display as its desktop starts
    it, in a session of its own, with a configuration folder of its own so
    that its defaults apply and nothing of the user's is read or written."""

    def __init__(self, name, program, command):
        self.name = name
        self.program = program
        self.command = command
        self.process = None
        self.folder = None

    def start(self):
        if not all(shutil.which(part) for part in (self.program, self.command[0])):
            raise unittest.SkipTest(f"{self.name} is not installed")
        if manager_running():
            raise unittest.SkipTest("another window manager runs on this display")
        self.folder = private_folder("peerkin-e2e-wm-")
        folder = self.folder
        environment = dict(os.environ, XDG_CONFIG_HOME=folder, XDG_CACHE_HOME=folder)
        command = [part(folder) if callable(part) else part for part in self.command]
        self.process = subprocess.Popen(command, env=environment, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        start_new_session=True)
        if not wait_until(manager_running, START_TIMEOUT):
            self.stop()
            raise unittest.SkipTest(f"{self.name} did not start on this display")
        time.sleep(0.5)  # its own start-up: panels, bars, the root's properties

    def stop(self):
        """Ends the window manager and everything its session started, and
        waits for it to let go of the display."""
        if self.process is None:
            return
        try:
            os.killpg(self.process.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.process = None
        wait_until(lambda: not manager_running(), 10)
        forget_the_window_managers_word()
        shutil.rmtree(self.folder, ignore_errors=True)


def forget_the_window_managers_word():
    """Removes what a window manager said on the root window: one that ends
    leaves its list of what it offers there (xfwm4 does), and a client that
    reads only that list, Wine above all, would take it for one that still
    runs and hand it moves nobody makes."""
    out = run("xprop", "-root", "-notype", check=False)
    for name in sorted(set(re.findall(r"^(_NET_[A-Z0-9_]+)", out, re.MULTILINE))):
        run("xprop", "-root", "-remove", name, check=False)


# Xfce's session and awesome's run with a session bus; i3 needs none. A
# callable part of a command is given the window manager's own folder.
OPENBOX = WindowManager("openbox", "openbox", ["openbox"])
XFWM4 = WindowManager("xfwm4", "xfwm4", ["dbus-run-session", "--", "xfwm4", "--compositor=off"])
XFWM4_COMPOSITING = WindowManager("xfwm4 with its compositor", "xfwm4",
                                  ["dbus-run-session", "--", "xfwm4", "--compositor=on"])
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
        cls.MANAGER.start()
        cls.addClassCleanup(cls.MANAGER.stop)


class HandlingUnderAWindowManager(UnderAWindowManager, test_handling.Handling):
    def test_the_window_manager_holds_the_window(self):
        """Proves the checks here ran with a managed window, not an
        override-redirect one: the manager has put it in a frame of its own."""
        with Figure() as figure:
            tree = run("xwininfo", "-tree", "-id", str(figure.window_id))
            parent = next(line for line in tree.splitlines() if "Parent window id" in line)
            self.assertNotIn("(the root window)", parent)


class PlacementUnderAWindowManager(UnderAWindowManager, test_startup.Placement):
    pass


class ClosingUnderAWindowManager(UnderAWindowManager, test_closing.ClosingStoresNothing):
    pass


def place(window_id):
    """Where the figure's own window is on the screen, whatever frame the
    window manager has put round it."""
    info = run("xwininfo", "-id", str(window_id))
    return tuple(int(re.search(rf"Absolute upper-left {axis}:\s+(-?\d+)", info).group(1)) for axis in "XY")


def drag_by(window_id, steps, step):
    """A left-button drag from the face's grip, in small steps as a hand
    makes it. The first step follows the press at once, as a quick hand's
    does: the program sees it only after the press."""
    x, y = place(window_id)
    run("xdotool", "mousemove", str(x + GRIP[0]), str(y + GRIP[1]), "mousedown", "1",
        "mousemove_relative", "--", str(step[0]), str(step[1]))
    try:
        for _ in range(steps - 1):
            time.sleep(0.05)
            move_mouse_relative(*step)
        time.sleep(TICKS)
    finally:
        release(1)
    time.sleep(TICKS)


def store_by_double_click(figure):
    """Double-clicks the face, which stores its place and ends the program;
    returns the settings file's text."""
    x, y = place(figure.window_id)
    move_mouse(x + GRIP[0], y + GRIP[1])
    time.sleep(TICKS)
    run("xdotool", "click", "--repeat", "2", "--delay", "80", "1")
    if not figure.wait_exit(5):
        raise AssertionError("the double-click did not end the program")
    return figure.read_ini()


def stored_place(text):
    """(Left, Top) of a settings file, in pixels."""
    values = dict(re.findall(r"^(Top|Left)=(-?\d+)", text, re.MULTILINE))
    return int(values["Left"]) // TWIPS_PER_PIXEL, int(values["Top"]) // TWIPS_PER_PIXEL


class PlaceAndDrag:
    """What a user of the desktop sees first: the face at the top centre, a
    drag that moves it as far as the pointer goes, and the place a
    double-click stores opening there again however often it is stored."""

    def test_first_start_opens_at_the_top_centred(self):
        with Figure() as figure:
            x, y = place(figure.window_id)
            self.assertEqual(y, 0)
            self.assertLessEqual(abs(x - (screen_size()[0] - FIGURE_SIZE[0]) / 2), 1, f"x is {x}")

    def test_three_drags_each_move_the_face_as_far_as_the_pointer(self):
        with Figure() as figure:
            for turn, step in enumerate([(10, 5), (-5, 10), (12, -4)]):
                with self.subTest(drag=turn + 1):
                    before = place(figure.window_id)
                    drag_by(figure.window_id, 10, step)
                    self.assertEqual(place(figure.window_id), (before[0] + 10 * step[0], before[1] + 10 * step[1]))

    def test_a_stored_place_opens_there_again_each_time(self):
        text = f"{SECTION}\r\nTop={118 * TWIPS_PER_PIXEL}\r\nLeft={568 * TWIPS_PER_PIXEL}\r\n"
        for start in range(1, 4):
            with self.subTest(start=start), Figure(ini_text=text) as figure:
                self.assertEqual(place(figure.window_id), (568, 118))
                if start < 3:
                    text = store_by_double_click(figure)
                    self.assertEqual(stored_place(text), (568, 118), "the stored place crept")


class UnderXfwm4(UnderAWindowManager, PlaceAndDrag, unittest.TestCase):
    MANAGER = XFWM4


class UnderXfwm4WithItsCompositor(UnderAWindowManager, PlaceAndDrag, unittest.TestCase):
    MANAGER = XFWM4_COMPOSITING

    def test_the_compositor_runs(self):
        self.assertTrue(compositor_running(), "xfwm4 started without its compositor")


class UnderI3(UnderAWindowManager, PlaceAndDrag, unittest.TestCase):
    MANAGER = I3


class UnderAwesome(UnderAWindowManager, PlaceAndDrag, unittest.TestCase):
    MANAGER = AWESOME


if __name__ == "__main__":
    unittest.main()
