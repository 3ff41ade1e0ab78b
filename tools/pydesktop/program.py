"""Starting the program and finding its window, the one way every script
does it: the Windows program under Wine, the native one directly, the
native one of a desktop's release on that desktop's Xwayland. Each start
runs a private copy in a folder of its own, so that its settings file is
its own, or a program where it lies (installed, or laid out by the
caller). Whatever was started is ended when the caller is done with it, and
at the latest when the run ends, so that a failed case leaves no program
behind to hold the single-instance lock against the next."""

import atexit
import functools
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from . import display, figure, gestures, wine, xlib
from .processes import end_processes_from

TOOLS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_RUN = os.path.join(TOOLS, "wine-run")
WINDOW_TIMEOUT = 30  # seconds for a window to show: a first Wine start is slow
TICKS = 0.3  # seconds after the window shows: the first ticks paint the eyes

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


def exe_path():
    """The program under test, named by the test command (PEERKIN_EXE)."""
    path = os.environ.get("PEERKIN_EXE")
    if not path or not os.path.isfile(path):
        raise unittest.SkipTest("PEERKIN_EXE does not name the program")
    if not os.environ.get("DISPLAY") and not wine.is_windows_program(path):
        raise unittest.SkipTest("the native program needs an X display: DISPLAY is not set")
    return path


def runs_natively():
    """True when the program under test is a native one, not a Windows program."""
    path = os.environ.get("PEERKIN_EXE")
    return bool(path) and os.path.isfile(path) and not wine.is_windows_program(path)


def program_file_name(source):
    """The name a private copy gets: the Windows program is always
    Peerkin.exe; a native one keeps its own name."""
    return "Peerkin.exe" if wine.is_windows_program(source) else os.path.basename(source)


def settings_file(exe):
    """Where the program at exe keeps its settings when started here: the
    Windows program beside itself, under its name with .ini in place of the
    extension; the native one in the configuration folder it is started
    with (config_home_of), under its whole name with .ini."""
    folder, name = os.path.split(exe)
    if wine.is_windows_program(exe):
        return os.path.join(folder, os.path.splitext(name)[0] + ".ini")
    return os.path.join(config_home_of(exe), "peerkin", name + ".ini")


def config_home_of(exe):
    """The configuration folder of a native program at exe: beside it, so
    that no run touches the user's."""
    return os.path.join(os.path.dirname(exe), "config")


def write_settings(path, data):
    """Writes a settings file (bytes or text, as it stands), with its folders."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as file:
        file.write(data if isinstance(data, bytes) else data.encode())


@functools.cache
def run_folder(prefix):
    """An empty folder of this run's own, made once for each prefix and
    removed when the run ends."""
    folder = tempfile.mkdtemp(prefix=prefix)
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    return folder


def native_environment():
    """The environment for a native start: a runtime folder of this run's
    own, where the instance lock lives, so that a figure run by the same user
    outside is not taken for an earlier instance; and no configuration
    folder of the user's."""
    return {key: value for key, value in os.environ.items() if key != "XDG_CONFIG_HOME"} | \
        {"XDG_RUNTIME_DIR": run_folder("peerkin-e2e-runtime-")}


def start_program(exe, *args, windows_path=None, inside=(), **popen):
    """Starts the program file exe with args: a Windows program through
    tools/wine-run, or by windows_path, a Windows path of its own, through
    the loader that fits it; any other directly, behind the command inside
    (a Debian root's runner), with a configuration folder of its own unless
    popen's env names one (None: the variable unset). Output goes nowhere
    unless told."""
    popen.setdefault("stdout", subprocess.DEVNULL)
    popen.setdefault("stderr", subprocess.DEVNULL)
    if wine.is_windows_program(exe):
        if windows_path is None:
            return tracked(subprocess.Popen([WINE_RUN, exe, *args], **popen))
        loader = wine.loader_for(exe)
        popen.setdefault("env", wine.environment(loader))
        return tracked(subprocess.Popen([loader, windows_path, *args], **popen))
    environment = dict(popen.get("env") or native_environment())
    environment.setdefault("XDG_CONFIG_HOME", config_home_of(exe))
    popen["env"] = {key: value for key, value in environment.items() if value is not None}
    return tracked(subprocess.Popen([*inside, exe, *args], **popen))


class Figure:
    """One start of the program, found by its window. Use as a context
    manager: leaving it, or failing to start, ends the program and removes
    its folder.

    By default a private copy of exe (the program under test) named name in
    a fresh folder (name may hold folders: "bin/peerkin"); with copy=False
    the program at exe as it lies. ini_text is written as its settings file
    first. session, a desktop (pydesktop.sessions), runs it on the desktop's
    Xwayland with the desktop's environment and release; shown=False also
    takes a window the X server does not show (one far off the screen)."""

    SETTLE = TICKS

    def __init__(self, exe=None, ini_text=None, args=(), name=None, env=None, copy=True, cwd=None,
                 windows_path=None, session=None, shown=True):
        self.exe_source = exe or exe_path()
        self.folder = None
        self.exe = self.exe_source
        if copy:
            self.folder = private_folder("peerkin-e2e-")
            self.exe = os.path.join(self.folder, name or program_file_name(self.exe_source))
            os.makedirs(os.path.dirname(self.exe), exist_ok=True)
            shutil.copy(self.exe_source, self.exe)
        self.ini_path = settings_file(self.exe)
        if ini_text is not None:
            write_settings(self.ini_path, ini_text)
        self.args, self.env, self.cwd, self.windows_path = list(args), env, cwd, windows_path
        self.session, self.shown = session, shown
        self.errors = tempfile.mkstemp(prefix="peerkin-e2e-said-")[1]
        self.process = self.window_id = self.x = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, *exc):
        self.kill()
        if self.x:
            self.x.close()
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
        os.remove(self.errors)

    def start(self):
        """Starts the program and waits for its window."""
        if self.x is None:
            if self.session and self.session.xauthority:  # libX11 of this process reads it from here
                os.environ["XAUTHORITY"] = self.session.xauthority
            self.x = xlib.Connection(self.session.display if self.session else None)
        before = set(self.x.figure_window_ids(shown_only=False))
        env, inside = self.env, ()
        if self.session:
            env = self.session.client_env(XDG_RUNTIME_DIR=native_environment()["XDG_RUNTIME_DIR"],
                                          XDG_CONFIG_HOME=config_home_of(self.exe))
            inside = self.session.release.inside
        with open(self.errors, "w") as errors:
            self.process = start_program(self.exe, *self.args, windows_path=self.windows_path, inside=inside,
                                         stderr=errors, cwd=self.cwd, **({"env": env} if env else {}))
        found = display.wait_until(
            lambda: sorted(set(self.x.figure_window_ids(shown_only=self.shown)) - before), WINDOW_TIMEOUT)
        if not found:
            raise AssertionError(f"the figure's window did not appear; the program said: {self.said()!r}")
        self.window_id = found[0]
        time.sleep(self.SETTLE)

    def geometry(self):
        return display.window_geometry(self.window_id)

    def place(self):
        """(x, y) of the window on the screen, whatever frame a window manager put round it."""
        return self.x.window_place(self.window_id)

    def alive(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        """True when the program ended within timeout seconds."""
        try:
            self.process.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def grip(self):
        """(x, y) on the screen of the point of the face between the eyes,
        where a hand takes it: the pupils look toward it from either side."""
        (x, y), grip = self.place(), figure.between_the_eyes()
        return x + grip[0], y + grip[1]

    def double_click(self, timeout=5):
        """Double-clicks the face between the eyes, as a user stores its
        place and ends the program; True when it ended within timeout seconds."""
        gestures.move_mouse(*self.grip())
        time.sleep(gestures.TICKS)
        gestures.double_click()
        return self.wait_exit(timeout)

    def kill(self):
        """Ends the program, if it still runs, and waits for its window to go."""
        if self.process and self.process.poll() is None:
            self.process.kill()  # SIGKILL: nothing of the program runs any more
            self.process.wait()
        if self.window_id is not None and not self.session:
            # The Windows process outlives the loader under some Wine versions.
            display.run("xdotool", "windowkill", self.window_id, check=False)
            display.wait_until(lambda: self.window_id not in display.figure_windows(), 5)
        if self.folder:
            end_processes_from(self.folder)

    def read_ini(self):
        with open(self.ini_path, "rb") as ini:
            return ini.read().decode("latin-1")

    def stored(self):
        """The settings file's text, its line ends read as "\\n", or None."""
        if not os.path.exists(self.ini_path):
            return None
        with open(self.ini_path, encoding="latin-1") as ini:
            return ini.read()

    def said(self):
        """What the program wrote on standard error."""
        with open(self.errors, errors="replace") as errors:
            return errors.read()

    def request_close(self):
        """Asks the window to close as a window manager or a taskbar does."""
        self.x.request_close(self.window_id)

    def pupils(self, colours_of=None):
        """The centre of each pupil in window pixels (None where an eye shows
        none), read from the window itself unless colours_of(points) reads
        the colours of window points elsewhere."""
        return [figure.pupil_centre(colours_of or (lambda points: self.x.window_rgb(self.window_id, points)), eye)
                for eye in figure.EYES]

    def looks_at(self, pointer, tolerance=1.5):
        """True when both pupils sit where a pointer at that place on the screen puts them."""
        window = self.place()
        return all(got is not None and math.dist(got, figure.expected_pupil(eye, window, pointer)) <= tolerance
                   for eye, got in zip(figure.EYES, self.pupils()))
