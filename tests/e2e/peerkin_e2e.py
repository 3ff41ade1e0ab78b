"""Drives the real program under Wine on the current X display: starts it in
a folder of its own, finds its window, moves the real pointer with xdotool and
reads real screenshots. Standard library only."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
WINDOW_NAME = "^Form1$"
TWIPS_PER_PIXEL = 15


def exe_path():
    """The program under test, named by the test command."""
    path = os.environ.get("PEERKIN_EXE")
    if not path or not os.path.isfile(path):
        raise unittest.SkipTest("PEERKIN_EXE does not name the program")
    return path


def run(*command, check=True):
    """Runs a command and returns its standard output as text."""
    result = subprocess.run(command, capture_output=True, text=True, check=check)
    return result.stdout


def wait_until(predicate, timeout, interval=0.1):
    """predicate's first true value within timeout seconds, else None."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(interval)


def visible_windows(name=WINDOW_NAME):
    """The ids of the visible X windows whose name matches."""
    out = run("xdotool", "search", "--onlyvisible", "--name", name, check=False)
    return [int(line) for line in out.split()]


def window_geometry(window_id):
    """(x, y, width, height) of an X window on the screen."""
    values = {}
    for line in run("xdotool", "getwindowgeometry", "--shell", str(window_id)).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value)
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


class Screenshot:
    """The whole screen as RGB pixels."""

    def __init__(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              capture_output=True, check=True).stdout
        fields, offset = [], 0
        while len(fields) < 4:  # magic, width, height, maximum
            while data[offset:offset + 1].isspace():
                offset += 1
            end = offset
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[offset:end])
            offset = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[offset + 1:]

    def pixel(self, x, y):
        """(r, g, b) at screen position (x, y)."""
        at = (y * self.width + x) * 3
        return tuple(self.pixels[at:at + 3])

    def save(self, path):
        with open(path + ".ppm", "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.pixels)
        subprocess.run(["convert", path + ".ppm", path], check=False)
        os.remove(path + ".ppm")


def screenshot():
    return Screenshot()


def move_mouse(x, y):
    run("xdotool", "mousemove", str(x), str(y))


def move_mouse_relative(dx, dy):
    run("xdotool", "mousemove_relative", "--", str(dx), str(dy))


def press(button=1):
    run("xdotool", "mousedown", str(button))


def release(button=1):
    run("xdotool", "mouseup", str(button))


def click(button=1):
    run("xdotool", "click", str(button))


def double_click(button=1):
    run("xdotool", "click", "--repeat", "2", "--delay", "80", str(button))


class Figure:
    """The program started from a private copy in a fresh folder, so that its
    settings file is its own. Use as a context manager."""

    def __init__(self, exe=None, ini_text=None, args=(), wait_for_window=True):
        self.exe_source = exe or exe_path()
        self.folder = tempfile.mkdtemp(prefix="peerkin-e2e-")
        self.exe = os.path.join(self.folder, "Peerkin.exe")
        self.ini_path = os.path.join(self.folder, "Peerkin.ini")
        shutil.copy(self.exe_source, self.exe)
        if ini_text is not None:
            with open(self.ini_path, "w", newline="") as ini:
                ini.write(ini_text)
        self.args = list(args)
        self.wait_for_window = wait_for_window
        self.process = None
        self.window_id = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self):
        """Starts the program and, unless told not to, waits for its window."""
        before = set(visible_windows())
        self.process = subprocess.Popen([WINE_RUN, self.exe] + self.args,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.wait_for_window:
            found = wait_until(lambda: [w for w in visible_windows() if w not in before], 30)
            if not found:
                raise AssertionError("the figure's window did not appear")
            self.window_id = found[0]
            time.sleep(0.3)  # let the first ticks paint the eyes

    def geometry(self):
        return window_geometry(self.window_id)

    def wait_exit(self, timeout):
        """True when the program ended within timeout seconds."""
        try:
            self.process.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        # The Windows process outlives the loader under some Wine versions.
        if self.window_id is not None:
            run("xdotool", "windowkill", str(self.window_id), check=False)
        wait_until(lambda: not [w for w in visible_windows() if w == self.window_id], 5)

    def read_ini(self):
        with open(self.ini_path, "rb") as ini:
            return ini.read().decode("latin-1")
