"""X displays: private X servers, windows found by name, the pointer, and
screenshots, through xdotool and ImageMagick's import."""

import os
import subprocess
import time

from . import figure

SCREEN = (1024, 768)  # the private X servers' screen, true colour


def display_taken(number):
    """True when an X server holds the display number: its lock names a
    process that still runs, or, without a lock, its socket is there. A
    server that was killed leaves its lock behind, and the next one on that
    number removes it, so such a number is free."""
    try:
        with open(f"/tmp/.X{number}-lock") as lock:
            pid = int(lock.read().strip())
    except FileNotFoundError:
        return os.path.exists(f"/tmp/.X11-unix/X{number}")
    except (OSError, ValueError):
        return True
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        pass
    return True


def free_display(first, last):
    """The first display number from first to last that no X server holds."""
    for number in range(first, last + 1):
        if not display_taken(number):
            return number
    raise RuntimeError(f"no free display number between :{first} and :{last}")


def display_range():
    """The display numbers private X servers take here: PEERKIN_DISPLAYS
    ("FIRST LAST", so that people who share a machine can keep to ranges of
    their own), else 91 to 140."""
    first, last = os.environ.get("PEERKIN_DISPLAYS", "91 140").split()
    return int(first), int(last)


def use_private_display(test, size=SCREEN):
    """Puts a unittest case on a private X server of size, of its own, on the
    first free number of display_range, until the case ends."""
    xvfb = start_xvfb(free_display(*display_range()), size=size)
    test.addCleanup(xvfb.wait)
    test.addCleanup(xvfb.terminate)  # a killed Xvfb would leave its lock behind
    test.addCleanup(os.environ.__setitem__, "DISPLAY", os.environ["DISPLAY"])
    os.environ["DISPLAY"] = xvfb.args[1]


def xvfb_arguments(number, size=SCREEN):
    """Xvfb's arguments for a private X server on the display number."""
    return [f":{number}", "-screen", "0", f"{size[0]}x{size[1]}x24", "-noreset", "-nolisten", "tcp"]


def start_xvfb(number, timeout=5.0, size=SCREEN):
    """A private X server of size on the display number, kept up between
    clients (-noreset), once it answers; the caller ends it with terminate,
    which lets it remove its lock."""
    if display_taken(number):
        raise RuntimeError(f"display :{number} is taken")
    xvfb = subprocess.Popen(["Xvfb", *xvfb_arguments(number, size)], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=f":{number}")
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if xvfb.poll() is not None:
            raise RuntimeError(f"Xvfb :{number} ended at once")
        if subprocess.run(["xdotool", "getmouselocation"], env=env, capture_output=True).returncode == 0:
            return xvfb
        time.sleep(0.05)
    xvfb.kill()
    xvfb.wait()
    raise RuntimeError(f"Xvfb :{number} did not answer")


def run(*command, check=True):
    """Runs a command and returns its standard output as text."""
    return subprocess.run([str(part) for part in command], capture_output=True, text=True, check=check).stdout


def wait_until(predicate, timeout, interval=0.1):
    """predicate's first true value within timeout seconds, else its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(interval)


def visible_windows(name=None):
    """The ids of the visible X windows whose name matches the pattern
    (default: the figure's caption), window managers' frames included."""
    pattern = figure.caption_pattern() if name is None else name
    return [int(line) for line in run("xdotool", "search", "--onlyvisible", "--name", pattern, check=False).split()]


def figure_windows():
    """The figure windows there are, shown or not."""
    return {int(line) for line in run("xdotool", "search", "--name", figure.caption_pattern(), check=False).split()}


def window_geometry(window_id):
    """(x, y, width, height) of an X window on the screen."""
    values = {}
    for line in run("xdotool", "getwindowgeometry", "--shell", window_id).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value)
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def screen_size():
    width, height = run("xdotool", "getdisplaygeometry").split()
    return int(width), int(height)


class Screenshot:
    """The whole screen as RGB pixels."""

    def __init__(self):
        self.width, self.height = screen_size()
        self.pixels = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], capture_output=True,
                                     check=True).stdout
        if len(self.pixels) != self.width * self.height * 3:
            raise RuntimeError(f"a screenshot of {len(self.pixels)} bytes for a {self.width} x {self.height} screen")

    def pixel(self, x, y):
        """(r, g, b) at screen position (x, y)."""
        at = (y * self.width + x) * 3
        return tuple(self.pixels[at:at + 3])
