"""Sessions a test runs the program in, each started by the test itself
and ended with everything it started: an X window manager on the current
display, as its desktop starts it, or a headless Wayland desktop (GNOME
Shell, KWin) with buses of its own (a session bus, and for GNOME Shell a
system bus), in a throwaway home and runtime folder, with its Xwayland for
the program, its pointer driven through the desktop's own remote input.
Where one cannot start, Unavailable says why in one line.

A desktop runs this system's own release of it, or, with
PEERKIN_DEBIAN_SUITE naming a Debian suite, a newer release's from a Debian
root of that suite (tools/debian-root.sh), where everything of the desktop
runs, the program too, installed there from its package."""

import glob
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import time

from . import display, xlib
from .program import Figure
from . import processes
from .processes import all_pids, environment_of

TOOLS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ROOT = os.path.dirname(TOOLS)
WAYLAND_FILES = os.path.join(ROOT, "tests", "e2e", "wayland")
ROOT_TOOL = os.path.join(TOOLS, "debian-root.sh")
SIZE = (1024, 768)
X11_SOCKETS = "/tmp/.X11-unix"
TICKS = 0.5  # seconds: several 70 ms ticks, and a desktop helper's report
START_TIMEOUT = 40  # seconds for a desktop and its Xwayland to come up
WINDOW_MANAGER_TIMEOUT = 15  # seconds for a window manager to take the display

SYSTEM_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path={path}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
"""


class Unavailable(Exception):
    """The session cannot start here; the message says why, in one line."""


class Release:
    """Where a desktop and the program come from: this system, or a Debian
    root with the program's package installed in it."""

    def __init__(self, share, exe, root=None):
        self.share = share  # the helpers, laid out as installed (share/...)
        self.exe = exe  # the program, as a path on this system
        self.root = root
        self.inside = ["bash", ROOT_TOOL, "run", root] if root else []

    def which(self, program):
        if not self.root:
            return shutil.which(program)
        path = os.path.join(self.root, "usr", "bin", program)
        return path if os.access(path, os.X_OK) else None

    def run(self, command, **options):
        return subprocess.run(self.inside + command, **options)


_installed = set()


def debian_release(suite, packages):
    """The Release of the Debian root of suite under PEERKIN_ROOTS (else the
    checkout's build/roots), its package from the folder packages installed
    there once per test run; Unavailable where the root was not made."""
    roots = os.environ.get("PEERKIN_ROOTS") or os.path.join(ROOT, "build", "roots")
    root = os.path.abspath(os.path.join(roots, suite))
    if not os.path.isfile(os.path.join(root, "usr", "bin", "apt-get")):
        raise Unavailable(f"no Debian {suite} root was made at {root} (bash tools/debian-root.sh make {suite} ...)")
    debs = glob.glob(os.path.join(packages, "peerkin_*.deb"))
    if len(debs) != 1:
        raise Unavailable(f"no one package of the program in {packages!r}: {debs}")
    release = Release(os.path.join(root, "usr", "share"), os.path.join(root, "usr", "bin", "peerkin"), root)
    if root not in _installed:
        # A package whose dependencies the suite cannot meet is a fault of
        # the package, so this fails rather than skips.
        done = release.run(["env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "install", "-y", "-qq",
                            "--reinstall", "--no-install-recommends", os.path.abspath(debs[0])],
                           capture_output=True, text=True)
        if done.returncode != 0:
            raise AssertionError(f"the package does not install on Debian {suite}: {done.stdout}{done.stderr}")
        _installed.add(root)
    return release


class Session:
    """What a test starts a desktop with, and ends with it: a folder of its
    own, with a home and a runtime folder, the processes it spawned, and
    whatever they started, found by the runtime folder (or, for a session
    started in a process group of its own, by that group). Use as a context
    manager; start() raises Unavailable where the session cannot start."""

    name = "session"
    own_group = False  # whether each process spawned starts a process group of its own

    def __enter__(self):
        self.processes = []
        self.folder = tempfile.mkdtemp(prefix=f"peerkin-{self.name}-")
        self.runtime = os.path.join(self.folder, "run")
        self.home = os.path.join(self.folder, "home")
        os.makedirs(self.runtime, mode=0o700)
        os.makedirs(self.home)
        try:
            self.start()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            self._signal(process, signal.SIGTERM)
        for process in reversed(self.processes):
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                self._signal(process, signal.SIGKILL)
                process.wait()
            for stream in (process.stdin, process.stdout):
                if stream:
                    stream.close()
        self._end_leftovers()
        self.stopped()
        shutil.rmtree(self.folder, ignore_errors=True)

    def _signal(self, process, number):
        try:
            if self.own_group:
                os.killpg(process.pid, number)
            elif process.poll() is None:
                process.send_signal(number)
        except ProcessLookupError:
            pass  # ended meanwhile

    def _end_leftovers(self):
        """Whatever the session's processes started, found by its runtime folder."""
        mark = self.runtime.encode()
        for pid in all_pids():
            if pid != os.getpid() and environment_of(pid).get(b"XDG_RUNTIME_DIR") == mark:
                try:
                    os.kill(pid, signal.SIGKILL)
                except OSError:
                    pass

    def stopped(self):
        """What is left to undo once every process of the session has ended."""

    def inside(self):
        return []

    def spawn(self, command, env=None, **popen):
        popen.setdefault("stdout", subprocess.DEVNULL)
        popen.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(self.inside() + command, env=env or self.env, start_new_session=self.own_group,
                                   **popen)
        if hasattr(popen["stdout"], "close"):
            popen["stdout"].close()  # the process has its own copy
        self.processes.append(process)
        return process

    def log(self):
        return open(os.path.join(self.folder, "desktop.log"), "w")


def manager_running():
    """True while the check window a window manager names on the root of the
    current display exists (the name outlives the manager)."""
    out = display.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
    if "window id #" not in out:
        return False
    window = out.split("#")[-1].strip()
    return subprocess.run(["xwininfo", "-id", window], capture_output=True).returncode == 0


def compositor_running():
    """True while a compositing manager owns the screen's _NET_WM_CM_S0."""
    with xlib.Connection() as connection:
        atom = connection.x.XInternAtom(connection.display, b"_NET_WM_CM_S0", 0)
        return connection.x.XGetSelectionOwner(connection.display, atom) != 0


def forget_the_window_managers_word():
    """Removes what a window manager said on the root window: one that ends
    leaves its list of what it offers there (xfwm4 does), and a client that
    reads only that list, Wine above all, would take it for one that still
    runs and hand it moves nobody makes."""
    out = display.run("xprop", "-root", "-notype", check=False)
    for name in sorted(set(re.findall(r"^(_NET_[A-Z0-9_]+)", out, re.MULTILINE))):
        display.run("xprop", "-root", "-remove", name, check=False)


class WindowManager(Session):
    """An X window manager on the current display, started as its desktop
    starts it, in a process group of its own, with configuration folders of
    its own so that its defaults apply and nothing of the user's is read or
    written. A callable part of command is given the session's folder;
    ready, if given, must hold once the manager runs (a compositor, say)."""

    own_group = True

    def __init__(self, name, program, command, ready=None):
        self.name, self.program, self.command, self.ready = name, program, command, ready

    def start(self):
        if not all(shutil.which(part) for part in (self.program, self.command[0])):
            raise Unavailable(f"{self.name} is not installed")
        if manager_running():
            raise Unavailable("another window manager runs on this display")
        self.env = dict(os.environ, XDG_CONFIG_HOME=self.folder, XDG_CACHE_HOME=self.folder)
        self.spawn([part(self.folder) if callable(part) else part for part in self.command], stdin=subprocess.DEVNULL)
        if not display.wait_until(manager_running, WINDOW_MANAGER_TIMEOUT):
            raise Unavailable(f"{self.name} did not start on this display")
        time.sleep(0.5)  # its own start-up: panels, bars, the root's properties
        if self.ready and not self.ready():
            raise Unavailable(f"{self.name} started without what it was asked for ({self.ready.__doc__.strip()})")

    def stopped(self):
        display.wait_until(lambda: not manager_running(), 10)
        forget_the_window_managers_word()


class Desktop(Session):
    """One headless Wayland desktop of a Release."""

    name = "desktop"
    session_bus_config = None  # the system's own

    def __init__(self, release):
        self.release = release

    def inside(self):
        return self.release.inside

    def start(self):
        self.env = {key: value for key, value in os.environ.items()
                    if key not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS")}
        self.env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=f"{self.home}/.config",
                        XDG_DATA_HOME=f"{self.home}/.local/share", XDG_CACHE_HOME=f"{self.home}/.cache",
                        XDG_SESSION_TYPE="wayland", NO_AT_BRIDGE="1", GSETTINGS_BACKEND="keyfile")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._bus("--session", f"{self.runtime}/bus", self.session_bus_config)
        self.start_desktop()
        self.display, self.xauthority = self._wait_for_xwayland()

    def _bus(self, kind, path, config=None):
        command = ["dbus-daemon", "--nofork", "--print-address=1", f"--address=unix:path={path}"]
        command += [f"--config-file={config}"] if config else [kind]
        if self.release.which("dbus-daemon") is None:
            raise Unavailable("dbus-daemon is not installed")
        daemon = self.spawn(command, stdout=subprocess.PIPE, text=True)
        address = daemon.stdout.readline().strip()
        if not address:
            raise Unavailable(f"the {kind[2:]} bus did not start")
        return address

    def _wait_for_xwayland(self):
        deadline = time.monotonic() + START_TIMEOUT
        while time.monotonic() < deadline:
            if self.processes[-1].poll() is not None:
                raise Unavailable(f"{self.name} ended at once: {self.log_tail()}")
            self._wake_xwayland()
            for pid in all_pids():
                arguments = processes.arguments(pid)
                if arguments and os.path.basename(arguments[0]) == "Xwayland" and \
                        environment_of(pid).get(b"XDG_RUNTIME_DIR") == self.runtime.encode():
                    display = next((a for a in arguments if a.startswith(":")), None)
                    auth = arguments[arguments.index("-auth") + 1] if "-auth" in arguments else None
                    if display and self._x_answers(display, auth):
                        return display, auth
            time.sleep(0.2)
        raise Unavailable(f"{self.name} started no Xwayland within {START_TIMEOUT} s: {self.log_tail()}")

    def _wake_xwayland(self):
        """Some desktops start their Xwayland only once a client knocks."""

    def _x_answers(self, display, auth):
        env = dict(self.env, DISPLAY=display, **({"XAUTHORITY": auth} if auth else {}))
        return subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0

    def log_tail(self):
        try:
            with open(os.path.join(self.folder, "desktop.log"), errors="replace") as log:
                lines = [line.strip() for line in log if line.strip()]
            return lines[-1] if lines else "(nothing logged)"
        except OSError:
            return "(no log)"

    def client_env(self, **more):
        """The environment of a program of this session: its buses, its
        Wayland display and its Xwayland."""
        env = dict(self.env, DISPLAY=self.display, WAYLAND_DISPLAY="wayland-0")
        if self.xauthority:
            env["XAUTHORITY"] = self.xauthority
        env.update(more)
        return env

    def bus_call(self, *arguments):
        """gdbus call on the session bus; its output."""
        return self.release.run(["gdbus", "call", "--session", *arguments], env=self.env, capture_output=True,
                                text=True, timeout=10).stdout


class GnomeShell(Desktop):
    """gnome-shell --headless, with the program's extension enabled before it
    starts (as after a log-in), hot corners off so that a pointer driven into
    the corner does not open the overview, and the overview left."""

    name = "gnome-shell"

    def __init__(self, release, enable_extension=True, notifications=True):
        super().__init__(release)
        self.enable_extension = enable_extension
        if not notifications:  # the shell may not serve them
            self.session_bus_config = os.path.join(WAYLAND_FILES, "no-notifications-bus.conf")

    def start_desktop(self):
        if self.release.which("gnome-shell") is None:
            raise Unavailable("gnome-shell is not installed")
        said = self.release.run(["gnome-shell", "--version"], capture_output=True, text=True).stdout
        self.version = int(said.split()[-1].split(".")[0])  # "GNOME Shell 48.7"
        # GNOME 45 made extensions ES modules.
        self.extension = "peerkin@orlo.org" if self.version >= 45 else "peerkin-legacy@orlo.org"
        system = os.path.join(self.runtime, "system-bus.conf")
        with open(system, "w") as config:
            config.write(SYSTEM_BUS_CONFIG.format(path=f"{self.runtime}/system_bus"))
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = self._bus("--system", f"{self.runtime}/system_bus", system)
        shutil.copytree(os.path.join(self.release.share, "gnome-shell", "extensions"),
                        os.path.join(self.env["XDG_DATA_HOME"], "gnome-shell", "extensions"))
        # Mutter 48 starts no Xwayland unless the X sockets' folder is open to
        # all, as Debian makes it (1777); some X servers leave it at 1755.
        if os.path.isdir(X11_SOCKETS) and os.stat(X11_SOCKETS).st_mode & 0o7777 != 0o1777:
            os.chmod(X11_SOCKETS, 0o1777)
        enabled = f"['{self.extension}']" if self.enable_extension else "@as []"
        for key, value in [("enabled-extensions", enabled), ("disable-user-extensions", "false")]:
            self._gsettings("org.gnome.shell", key, value)
        self._gsettings("org.gnome.desktop.interface", "enable-hot-corners", "false")
        # No welcome dialog: shown modal over a new user's first session, it
        # takes every press meant for the windows.
        self._gsettings("org.gnome.shell", "welcome-dialog-last-shown-version", "'999'")
        self.spawn(["gnome-shell", "--headless", "--wayland", "--virtual-monitor", f"{SIZE[0]}x{SIZE[1]}"],
                   stdout=self.log(), stderr=subprocess.STDOUT)

    def _gsettings(self, schema, key, value):
        self.release.run(["gsettings", "set", schema, key, value], env=self.env, check=True, capture_output=True)

    def set_extension(self, enabled):
        method = "EnableExtension" if enabled else "DisableExtension"
        self.bus_call("-d", "org.gnome.Shell", "-o", "/org/gnome/Shell", "-m",
                      f"org.gnome.Shell.Extensions.{method}", self.extension)

    def pointer(self):
        return GnomePointer(self)


class GnomePointer:
    """The pointer of a GNOME Shell, moved through a remote desktop session
    (gnome_pointer.js), which knows only relative motion: a move to a place
    goes to the top-left corner first, then on by the place."""

    ESCAPE = 0xff1b

    def __init__(self, desktop):
        self.driver = desktop.spawn(["gjs", os.path.join(WAYLAND_FILES, "gnome_pointer.js")],
                                    stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def _say(self, line):
        self.driver.stdin.write(line + "\n")
        self.driver.stdin.flush()
        if self.driver.stdout.readline().strip() != "ok":
            raise RuntimeError(f"the pointer driver did not take {line!r}")

    def move_to(self, x, y):
        self._say(f"move {-2 * SIZE[0]} {-2 * SIZE[1]}")
        self._say(f"move {x} {y}")

    def move_by(self, dx, dy):
        self._say(f"move {dx} {dy}")

    def key(self, keysym):
        self._say(f"key {keysym}")

    def press(self):
        self._say("press")

    def release(self):
        self._say("release")


class KWin(Desktop):
    """kwin_wayland --virtual with its Xwayland. Debian's kwin_wayland carries
    the file capability cap_sys_resource, which a container may refuse to
    grant ("Operation not permitted"); a copy of the binary has none and
    runs. Fake input is open to the test's pointer client."""

    name = "kwin"

    def start_desktop(self):
        binary = self.release.which("kwin_wayland")
        if binary is None:
            raise Unavailable("kwin_wayland is not installed")
        copy = os.path.join(self.folder, "kwin_wayland")
        shutil.copy(binary, copy)
        self.env["KWIN_WAYLAND_NO_PERMISSION_CHECKS"] = "1"
        # The one program KWin starts tells where its X server listens, and
        # stays, as KWin ends with it.
        self.display_file = os.path.join(self.folder, "display")
        self.spawn([copy, "--virtual", "--xwayland", "--no-lockscreen", "--width", str(SIZE[0]),
                    "--height", str(SIZE[1]), "--",
                    f"""sh -c 'echo "$DISPLAY" >{self.display_file}; exec sleep infinity'"""],
                   stdout=self.log(), stderr=subprocess.STDOUT)

    def _wake_xwayland(self):
        # KWin 6 starts Xwayland when the first X client connects to its socket.
        try:
            with open(self.display_file) as file:
                number = file.read().strip().lstrip(":")
            with socket.socket(socket.AF_UNIX) as knock:
                knock.connect(f"{X11_SOCKETS}/X{number}")
        except OSError:
            pass

    def pointer(self):
        return KWinPointer(self)

    def script_loaded(self):
        return "true" in self.bus_call("-d", "org.kde.KWin", "-o", "/Scripting", "-m",
                                       "org.kde.kwin.Scripting.isScriptLoaded", "peerkin-pointer")

    def unload_script(self):
        self.bus_call("-d", "org.kde.KWin", "-o", "/Scripting", "-m", "org.kde.kwin.Scripting.unloadScript",
                      "peerkin-pointer")


class KWinPointer:
    """The pointer of a KWin session, moved through fake input by one
    kwin_pointer client for the whole session."""

    def __init__(self, desktop):
        tool = os.environ.get("PEERKIN_KWIN_POINTER", "")
        if not os.path.isfile(tool):
            raise Unavailable("no fake-input pointer client was built (libwayland-dev, plasma-wayland-protocols)")
        self.client = subprocess.Popen([tool], env=desktop.client_env(), stdin=subprocess.PIPE,
                                       stdout=subprocess.PIPE, text=True)
        desktop.processes.append(self.client)

    def move_to(self, x, y):
        # In two steps, as a hand moves it: after a single jump onto an X11
        # window Xwayland reports the pointer where it was before, until the
        # pointer moves on within the window.
        self.steps(f"{x - 1},{y}", f"{x},{y}")

    def press(self):
        self.steps("press")

    def release(self):
        self.steps("release")

    def steps(self, *steps):
        """Steps of kwin_pointer ("X,Y", "press", "release", "+MS")."""
        for step in steps:
            self.client.stdin.write(step + "\n")
            self.client.stdin.flush()
            if self.client.stdout.readline().strip() != "ok":
                raise RuntimeError(f"the fake-input client did not take {step!r}")


class NotifyCalls:
    """The Notify calls on a desktop's session bus while open, from dbus-monitor."""

    def __init__(self, desktop):
        self.desktop, self.log = desktop, os.path.join(desktop.folder, "notify-calls.txt")

    def __enter__(self):
        rule = "destination='org.freedesktop.Notifications',member='Notify'"
        self.monitor = self.desktop.spawn(["dbus-monitor", "--session", rule], stdout=open(self.log, "w"))
        for _ in range(100):  # until it has become a monitor
            if "NameLost" in self.text():
                return self
            time.sleep(0.05)
        raise RuntimeError("dbus-monitor did not start")

    def __exit__(self, *exc):
        self.monitor.terminate()

    def text(self):
        with open(self.log, errors="replace") as log:
            return log.read()

    def actions(self):
        """Per call, how many texts its actions hold (a key and a label each)."""
        calls = self.text().split("member=Notify")[1:]
        return [call.split("array [")[1].split("]")[0].count("string ") for call in calls]


class WaylandFigure(Figure):
    """The program of a desktop's release on its Xwayland, from a folder laid
    out as installed (bin/ and share/, so that it finds its helpers; helpers
    False leaves them out). Its pupils are read from its own window, as the
    desktop's screen is not X's to read."""

    SETTLE = TICKS

    def __init__(self, desktop, helpers=True, settings=None):
        super().__init__(desktop.release.exe, ini_text=settings, name="bin/peerkin", session=desktop)
        if helpers:
            for helper in ("gnome-shell", "peerkin"):
                shutil.copytree(os.path.join(desktop.release.share, helper), os.path.join(self.folder, "share", helper))
        self.desktop = desktop

    def window_state(self):
        """The window manager's _NET_WM_STATE of the window, as xprop shows it."""
        return subprocess.run(["xprop", "-id", str(self.window_id), "_NET_WM_STATE"], env=self.desktop.client_env(),
                              capture_output=True, text=True).stdout

    def point_at(self, pointer, place, patience=10):
        """Moves the pointer to place until X has it there, as a hand keeps
        moving it: a press goes where X has the pointer, and Xwayland misses
        a lone synthetic move now and then. True once it has."""
        def there():
            pointer.move_to(*place)
            return self.x.pointer() == tuple(place)
        return display.wait_until(there, patience, interval=0.1)
