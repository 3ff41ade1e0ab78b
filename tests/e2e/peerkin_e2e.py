"""Drives the real program on the current X display: the Windows program
under Wine, the native one directly. Starts it in a folder of its own, finds
its window, moves the real pointer with xdotool and reads real screenshots.
Everything a test starts is ended when the test is done with it, and at the
latest when the test run ends, so that a failed case leaves no program
behind to hold the single-instance lock against the next. Standard library
only."""

import atexit
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
sys.dont_write_bytecode = True  # keep the source tree free of caches

# The tests take these from here, so that tools/ is on the path first.
from pydesktop import wine, xlib  # noqa: E402,F401
from pydesktop.display import (Screenshot, figure_windows, move_mouse, run, screen_size,  # noqa: E402,F401
                               visible_windows, wait_until, window_geometry)
from pydesktop.figure import (BLACK, EYE_RADIUS, EYES, PUPIL_OFFSET, RED, SIZE as FIGURE_SIZE,  # noqa: E402,F401
                              between_the_eyes)
from pydesktop.processes import end_processes_from, memory_kb  # noqa: E402,F401
from pydesktop.wine import is_windows_program  # noqa: E402

WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
TWIPS_PER_PIXEL = 15
SECTION = "[Orlo's Peerkin]"
WINDOW_TIMEOUT = 30  # seconds for a window to show: a first Wine start is slow


# --- What was started, ended at the latest when the run ends ---------------

_started = []
_folders = []


def _end_leftovers():
    for process in _started:
        if process.poll() is None:
            process.kill()
            process.wait()
    for folder in _folders:
        end_processes_from(folder)


atexit.register(_end_leftovers)
# A runner that stops the suite with SIGTERM still gets the clean-up above.
signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))


def private_folder(prefix):
    """A new temporary folder whose programs are ended when the run ends."""
    folder = tempfile.mkdtemp(prefix=prefix)
    _folders.append(folder)
    return folder


def tracked(process):
    _started.append(process)
    return process


# --- The program under test ----------------------------------------------

def exe_path():
    """The program under test, named by the test command."""
    path = os.environ.get("PEERKIN_EXE")
    if not path or not os.path.isfile(path):
        raise unittest.SkipTest("PEERKIN_EXE does not name the program")
    if not os.environ.get("DISPLAY") and not is_windows_program(path):
        raise unittest.SkipTest("the native program needs an X display: DISPLAY is not set")
    return path


def runs_natively():
    """True when the program under test is a native one, not a Windows program."""
    path = os.environ.get("PEERKIN_EXE")
    return bool(path) and os.path.isfile(path) and not is_windows_program(path)


def program_file_name(source):
    """The name a private copy of the program gets: the Windows program is
    always Peerkin.exe; a native one keeps its own name."""
    return "Peerkin.exe" if is_windows_program(source) else os.path.basename(source)


def settings_file(exe):
    """Where the program copied to exe keeps its settings when started here.
    The Windows program keeps them beside itself, under its name with .ini
    in place of the extension. The native program keeps them in the user's
    configuration folder, under its whole name with .ini; each copy started
    here gets a configuration folder of its own beside it, so that no run
    touches the user's."""
    folder, name = os.path.split(exe)
    if is_windows_program(exe):
        return os.path.join(folder, os.path.splitext(name)[0] + ".ini")
    return os.path.join(config_home_of(exe), "peerkin", name + ".ini")


def config_home_of(exe):
    """The configuration folder a native copy at exe is started with."""
    return os.path.join(os.path.dirname(exe), "config")


def write_settings(path, data):
    """Writes a settings file (bytes or text, as it stands), with its folders."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as file:
        file.write(data if isinstance(data, bytes) else data.encode())


_native_runtime_folder = None


def native_environment():
    """The environment for a native start: a runtime folder of this test run's
    own, where the instance lock lives, so that a figure run by the same user
    outside the tests is not taken for an earlier instance; and no
    configuration folder of the user's."""
    global _native_runtime_folder
    if _native_runtime_folder is None:
        _native_runtime_folder = tempfile.mkdtemp(prefix="peerkin-e2e-runtime-")
        atexit.register(shutil.rmtree, _native_runtime_folder, ignore_errors=True)
    return without("XDG_CONFIG_HOME", XDG_RUNTIME_DIR=_native_runtime_folder)


def without(*names, **more):
    """This process's environment without the variables named, with more."""
    environment = {key: value for key, value in os.environ.items() if key not in names}
    environment.update(more)
    return environment


def start_program(exe, *args, **popen):
    """Starts the program file exe with args: a Windows program through
    tools/wine-run, any other directly. Output goes nowhere unless told."""
    popen.setdefault("stdout", subprocess.DEVNULL)
    popen.setdefault("stderr", subprocess.DEVNULL)
    if is_windows_program(exe):
        return tracked(subprocess.Popen([WINE_RUN, exe, *args], **popen))
    # A configuration folder of the copy's own, unless the caller names one
    # (None: the variable unset).
    environment = dict(popen.get("env") or native_environment())
    environment.setdefault("XDG_CONFIG_HOME", config_home_of(exe))
    popen["env"] = {key: value for key, value in environment.items() if value is not None}
    return tracked(subprocess.Popen([exe, *args], **popen))


def stop_program(process, window_id=None):
    """Ends a start of the program, if it still runs, and waits for its window to go."""
    if process and process.poll() is None:
        process.kill()  # SIGKILL: nothing of the program runs any more
        process.wait()
    if window_id is not None:
        # The Windows process outlives the loader under some Wine versions.
        run("xdotool", "windowkill", window_id, check=False)
        wait_until(lambda: window_id not in figure_windows(), 5)


# --- The screen and the pointer --------------------------------------------

def screenshot():
    return Screenshot()


def all_visible_windows():
    return set(visible_windows(""))


def is_red(colour):
    return colour[0] > 192 and colour[1] < 64 and colour[2] < 64


def is_black(colour):
    return all(channel < 64 for channel in colour)


def move_mouse_relative(dx, dy):
    run("xdotool", "mousemove_relative", "--", dx, dy)


def press(button=1):
    run("xdotool", "mousedown", button)


def release(button=1):
    run("xdotool", "mouseup", button)


def click(button=1):
    run("xdotool", "click", button)


def double_click(button=1):
    run("xdotool", "click", "--repeat", "2", "--delay", "80", button)


def request_close(window_id):
    """Asks a window to close as a window manager or a taskbar does."""
    with xlib.Connection() as x:
        x.request_close(window_id)


def file_state(path):
    """The file's bytes and modification time, or None when it is missing."""
    if not os.path.exists(path):
        return None
    with open(path, "rb") as file:
        return file.read(), os.stat(path).st_mtime_ns


# --- One start of the figure -------------------------------------------------

class Figure:
    """The program started from a private copy in a fresh folder, so that its
    settings file is its own. Use as a context manager: leaving it, or failing
    to start, ends the program and removes the folder."""

    def __init__(self, exe=None, ini_text=None, args=(), name=None, env=None):
        self.exe_source = exe or exe_path()
        self.folder = private_folder("peerkin-e2e-")
        name = name or program_file_name(self.exe_source)
        self.exe = os.path.join(self.folder, name)
        shutil.copy(self.exe_source, self.exe)
        self.ini_path = settings_file(self.exe)
        if ini_text is not None:
            write_settings(self.ini_path, ini_text)
        self.args = list(args)
        self.env = env
        self.process = None
        self.window_id = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, *exc):
        self.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self):
        """Starts the program and waits for its window."""
        before = set(visible_windows())
        self.process = start_program(self.exe, *self.args, **({"env": self.env} if self.env else {}))
        found = wait_until(lambda: [w for w in visible_windows() if w not in before], WINDOW_TIMEOUT)
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
        stop_program(self.process, self.window_id)
        end_processes_from(self.folder)

    def read_ini(self):
        with open(self.ini_path, "rb") as ini:
            return ini.read().decode("latin-1")
