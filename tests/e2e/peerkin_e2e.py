"""Drives the real program on the current X display: the Windows program
under Wine, the native one directly. Starts it in a folder of its own, finds
its window, moves the real pointer with xdotool and reads real screenshots.
Standard library only."""

import atexit
import ctypes
import ctypes.util
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
    if not os.environ.get("DISPLAY") and not is_windows_program(path):
        raise unittest.SkipTest("the native program needs an X display: DISPLAY is not set")
    return path


def is_windows_program(path):
    """True when path is a Windows (PE) program file, which runs under Wine."""
    with open(path, "rb") as program:
        header = program.read(64)
        if len(header) < 64 or header[:2] != b"MZ":
            return False
        program.seek(int.from_bytes(header[60:64], "little"))
        return program.read(4) == b"PE\0\0"


def runs_natively():
    """True when the program under test is a native one, not a Windows program."""
    path = os.environ.get("PEERKIN_EXE")
    return bool(path) and os.path.isfile(path) and not is_windows_program(path)


def program_file_name(source):
    """The name a private copy of the program gets: the Windows program is
    always Peerkin.exe; a native one keeps its own name."""
    return "Peerkin.exe" if is_windows_program(source) else os.path.basename(source)


def settings_file_name(program_name):
    """The settings file the program keeps beside itself: its name with .ini
    in place of the extension on Windows; on Linux, where programs have no
    extension, its whole name with .ini."""
    if runs_natively():
        return program_name + ".ini"
    return os.path.splitext(program_name)[0] + ".ini"


_native_runtime_folder = None


def native_environment():
    """The environment for a native start: a runtime folder of this test run's
    own, where the instance lock lives, so that a figure run by the same user
    outside the tests is not taken for an earlier instance."""
    global _native_runtime_folder
    if _native_runtime_folder is None:
        _native_runtime_folder = tempfile.mkdtemp(prefix="peerkin-e2e-runtime-")
        atexit.register(shutil.rmtree, _native_runtime_folder, ignore_errors=True)
    return dict(os.environ, XDG_RUNTIME_DIR=_native_runtime_folder)


def start_program(exe, *args, **popen):
    """Starts the program file exe with args: a Windows program through
    tools/wine-run, any other directly. Output goes nowhere unless told."""
    popen.setdefault("stdout", subprocess.DEVNULL)
    popen.setdefault("stderr", subprocess.DEVNULL)
    if is_windows_program(exe):
        return subprocess.Popen([WINE_RUN, exe, *args], **popen)
    popen.setdefault("env", native_environment())
    return subprocess.Popen([exe, *args], **popen)


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


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def _xlib():
    """libX11 with the signatures used here."""
    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(_Event)]
    xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return xlib


def request_close(window_id):
    """Asks a window to close as a window manager or a taskbar does: the
    ICCCM WM_DELETE_WINDOW message, sent to the window's own client."""
    xlib = _xlib()
    display = xlib.XOpenDisplay(None)
    if not display:
        raise AssertionError("cannot open the X display")
    try:
        event = _Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window_id
        event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        if not xlib.XSendEvent(display, window_id, 0, 0, ctypes.byref(event)):
            raise AssertionError("the close request could not be sent")
        xlib.XSync(display, 0)
    finally:
        xlib.XCloseDisplay(display)


class Figure:
    """The program started from a private copy in a fresh folder, so that its
    settings file is its own. Use as a context manager."""

    def __init__(self, exe=None, ini_text=None, args=(), wait_for_window=True, name=None, env=None):
        self.exe_source = exe or exe_path()
        self.folder = tempfile.mkdtemp(prefix="peerkin-e2e-")
        name = name or program_file_name(self.exe_source)
        self.exe = os.path.join(self.folder, name)
        self.ini_path = os.path.join(self.folder, settings_file_name(name))
        shutil.copy(self.exe_source, self.exe)
        if ini_text is not None:
            with open(self.ini_path, "w", newline="") as ini:
                ini.write(ini_text)
        self.args = list(args)
        self.env = env
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
        self.process = start_program(self.exe, *self.args, **({"env": self.env} if self.env else {}))
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
