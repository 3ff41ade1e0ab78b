"""The figure on a headless Wayland desktop: the native program of the
desktop's release started on the desktop's Xwayland from a folder laid out
as an installation (bin/ and share/, so that it finds its KWin script), and its pupils read from its own
window through Xwayland (the desktop's screen itself is not X's to read)."""

import math
import os
import shutil
import subprocess
import tempfile
import time

from peerkin_e2e import EYES, PUPIL_OFFSET, native_environment, wait_until
from pydesktop import xlib

TICKS = 0.5  # seconds: several 70 ms ticks, and the helper's report


def expected_pupil(eye, window, pointer):
    """Where a pupil belongs, in window pixels, for a pointer on the screen."""
    dx, dy = window[0] + eye[0] - pointer[0], window[1] + eye[1] - pointer[1]
    distance = math.hypot(dx, dy) or 1.0
    return eye[0] - PUPIL_OFFSET * dx / distance, eye[1] - PUPIL_OFFSET * dy / distance


class WaylandFigure:
    """The program on a desktop's Xwayland. Use as a context manager."""

    def __init__(self, desktop, helpers=True, settings=None):
        self.desktop = desktop
        self.folder = tempfile.mkdtemp(prefix="peerkin-wl-figure-")
        os.makedirs(os.path.join(self.folder, "bin"))
        self.exe = os.path.join(self.folder, "bin", "peerkin")
        shutil.copy(desktop.release.exe, self.exe)
        if helpers:  # the folders the package installs under share/
            for helper in ("gnome-shell", "peerkin"):
                shutil.copytree(os.path.join(desktop.share, helper), os.path.join(self.folder, "share", helper))
        self.errors = os.path.join(self.folder, "stderr.txt")
        self.config = os.path.join(self.folder, "config")
        self.settings = os.path.join(self.config, "peerkin", "peerkin.ini")
        if settings is not None:
            os.makedirs(os.path.dirname(self.settings))
            with open(self.settings, "w") as file:
                file.write(settings)
        self.process = None

    def __enter__(self):
        env = self.desktop.client_env(XDG_CONFIG_HOME=self.config,
                                      XDG_RUNTIME_DIR=native_environment()["XDG_RUNTIME_DIR"])
        # The desktop's runtime folder marks its processes; this one is ended here.
        with open(self.errors, "w") as errors:
            self.process = subprocess.Popen(self.desktop.release.inside + [self.exe], env=env, stdout=subprocess.DEVNULL,
                                            stderr=errors)
        if self.desktop.xauthority:  # libX11 of this process reads it from here
            os.environ["XAUTHORITY"] = self.desktop.xauthority
        self.x = xlib.Connection(self.desktop.display)
        self.window = wait_until(self._find_window, 20)
        if not self.window:
            said = self.said()
            self.__exit__()
            raise AssertionError(f"the figure's window did not appear; it said: {said}")
        time.sleep(TICKS)
        return self

    def __exit__(self, *exc):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if getattr(self, "x", None):
            self.x.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def _find_window(self):
        found = self.x.figure_window_ids()
        return found[0] if found else None

    def stored(self):
        """The settings file's text, or None."""
        if not os.path.exists(self.settings):
            return None
        with open(self.settings, encoding="latin-1") as file:
            return file.read()

    def window_state(self):
        """The window manager's _NET_WM_STATE of the window, as xprop shows it."""
        return subprocess.run(["xprop", "-id", str(self.window), "_NET_WM_STATE"], env=self.desktop.client_env(),
                              capture_output=True, text=True).stdout

    def x_pointer(self):
        """(x, y) of the pointer as X reports it."""
        return self.x.pointer()

    def point_at(self, pointer, place, patience=10):
        """Moves the pointer to place until X has it there, as a hand keeps
        moving it: a press goes where X has the pointer, and Xwayland misses
        a lone synthetic move now and then. True once it has."""
        def there():
            pointer.move_to(*place)
            return self.x_pointer() == tuple(place)
        return wait_until(there, patience, interval=0.1)

    def request_close(self):
        self.x.request_close(self.window)

    def said(self):
        with open(self.errors, errors="replace") as errors:
            return errors.read()

    def place(self):
        """(x, y) of the window on the screen, as X has it."""
        return self.x.window_place(self.window)

    def pupil(self, eye):
        """The centre of the black pixels in an eye, in window pixels, or None."""
        radius = 17
        points = [(x, y) for y in range(eye[1] - radius, eye[1] + radius + 1)
                  for x in range(eye[0] - radius, eye[0] + radius + 1)
                  if (x - eye[0]) ** 2 + (y - eye[1]) ** 2 <= radius ** 2]
        colours = self.x.window_rgb(self.window, points)
        black = [p for p, colour in zip(points, colours or []) if all(c < 64 for c in colour)]
        if not black:
            return None
        return sum(p[0] for p in black) / len(black), sum(p[1] for p in black) / len(black)

    def looks_at(self, pointer):
        """True when both pupils sit where the pointer puts them."""
        window = self.place()
        for eye in EYES:
            got, want = self.pupil(eye), expected_pupil(eye, window, pointer)
            if got is None or math.dist(got, want) > 1.5:
                return False
        return True

    def pupils(self):
        return [self.pupil(eye) for eye in EYES]
