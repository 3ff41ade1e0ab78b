"""Headless Wayland desktops for the end-to-end tests: GNOME Shell and KWin,
each started inside the test with buses of its own (a session bus, and for
GNOME Shell a system bus), in a throwaway home and runtime folder, with its
Xwayland for the program. Leaving one ends every process started in it,
found by its runtime folder. Standard library only; the pointer is driven
through the desktop's own remote-input interfaces."""

import os
import shutil
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = (1024, 768)
START_TIMEOUT = 40  # seconds for a desktop and its Xwayland to come up

SYSTEM_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path={path}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
"""


class Unavailable(Exception):
    """The desktop cannot start here; the message says why, in one line."""


def _pids():
    return [int(name) for name in os.listdir("/proc") if name.isdigit()]


def _environ(pid):
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return dict(item.split(b"=", 1) for item in f.read().split(b"\0") if b"=" in item)
    except OSError:
        return {}


def _arguments(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return [part.decode(errors="replace") for part in f.read().split(b"\0") if part]
    except OSError:
        return []


class Desktop:
    """One headless desktop. Use as a context manager."""

    name = "desktop"
    session_bus_config = None  # the system's own

    def __init__(self, share):
        self.share = share  # the helpers, laid out as installed (share/...)
        self.processes = []

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix=f"peerkin-{self.name}-")
        self.runtime = os.path.join(self.folder, "run")
        self.home = os.path.join(self.folder, "home")
        os.makedirs(self.runtime, mode=0o700)
        os.makedirs(self.home)
        self.env = {key: value for key, value in os.environ.items()
                    if key not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS")}
        self.env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=f"{self.home}/.config",
                        XDG_DATA_HOME=f"{self.home}/.local/share", XDG_CACHE_HOME=f"{self.home}/.cache",
                        XDG_SESSION_TYPE="wayland", NO_AT_BRIDGE="1", GSETTINGS_BACKEND="keyfile")
        try:
            self.env["DBUS_SESSION_BUS_ADDRESS"] = self._bus("--session", f"{self.runtime}/bus",
                                                             self.session_bus_config)
            self.start()
            self.display, self.xauthority = self._wait_for_xwayland()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self._end_leftovers()
        shutil.rmtree(self.folder, ignore_errors=True)

    def _end_leftovers(self):
        """Whatever the buses started for the desktop, found by its runtime folder."""
        mark = self.runtime.encode()
        for pid in _pids():
            if pid != os.getpid() and _environ(pid).get(b"XDG_RUNTIME_DIR") == mark:
                try:
                    os.kill(pid, 9)
                except OSError:
                    pass

    def spawn(self, command, env=None, **popen):
        popen.setdefault("stdout", subprocess.DEVNULL)
        popen.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(command, env=env or self.env, **popen)
        if hasattr(popen["stdout"], "close"):
            popen["stdout"].close()  # the process has its own copy
        self.processes.append(process)
        return process

    def _bus(self, kind, path, config=None):
        command = ["dbus-daemon", "--nofork", "--print-address=1", f"--address=unix:path={path}"]
        command += [f"--config-file={config}"] if config else [kind]
        if shutil.which("dbus-daemon") is None:
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
            for pid in _pids():
                arguments = _arguments(pid)
                if arguments and os.path.basename(arguments[0]) == "Xwayland" and \
                        _environ(pid).get(b"XDG_RUNTIME_DIR") == self.runtime.encode():
                    display = next((a for a in arguments if a.startswith(":")), None)
                    auth = arguments[arguments.index("-auth") + 1] if "-auth" in arguments else None
                    if display and self._x_answers(display, auth):
                        return display, auth
            time.sleep(0.2)
        raise Unavailable(f"{self.name} started no Xwayland within {START_TIMEOUT} s: {self.log_tail()}")

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

    def log(self):
        return open(os.path.join(self.folder, "desktop.log"), "w")

    def bus_call(self, *arguments):
        """gdbus call on the session bus; its output."""
        return subprocess.run(["gdbus", "call", "--session", *arguments], env=self.env, capture_output=True,
                              text=True, timeout=10).stdout


class GnomeShell(Desktop):
    """gnome-shell --headless, with the program's extension enabled before it
    starts (as after a log-in), hot corners off so that a pointer driven into
    the corner does not open the overview, and the overview left."""

    name = "gnome-shell"
    EXTENSION = "peerkin-legacy@orlo.org"  # the shell run here is 43

    def __init__(self, share, enable_extension=True, notifications=True):
        super().__init__(share)
        self.enable_extension = enable_extension
        if not notifications:  # the shell may not serve them
            self.session_bus_config = os.path.join(HERE, "wayland", "no-notifications-bus.conf")

    def start(self):
        if shutil.which("gnome-shell") is None:
            raise Unavailable("gnome-shell is not installed")
        system = os.path.join(self.runtime, "system-bus.conf")
        with open(system, "w") as config:
            config.write(SYSTEM_BUS_CONFIG.format(path=f"{self.runtime}/system_bus"))
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = self._bus("--system", f"{self.runtime}/system_bus", system)
        self._install_extension()
        enabled = f"['{self.EXTENSION}']" if self.enable_extension else "@as []"
        for key, value in [("enabled-extensions", enabled), ("disable-user-extensions", "false")]:
            self._gsettings("org.gnome.shell", key, value)
        self._gsettings("org.gnome.desktop.interface", "enable-hot-corners", "false")
        self.spawn(["gnome-shell", "--headless", "--wayland", "--virtual-monitor", f"{SIZE[0]}x{SIZE[1]}"],
                   stdout=self.log(), stderr=subprocess.STDOUT)

    def _install_extension(self):
        extensions = os.path.join(self.env["XDG_DATA_HOME"], "gnome-shell", "extensions")
        shutil.copytree(os.path.join(self.share, "gnome-shell", "extensions"), extensions)

    def _gsettings(self, schema, key, value):
        subprocess.run(["gsettings", "set", schema, key, value], env=self.env, check=True, capture_output=True)

    def extension_state(self):
        """The shell's state number of the extension (1 enabled), or None."""
        said = self.bus_call("-d", "org.gnome.Shell", "-o", "/org/gnome/Shell", "-m",
                             "org.gnome.Shell.Extensions.GetExtensionInfo", self.EXTENSION)
        marker = "'state': <"
        return float(said.split(marker)[1].split(">")[0]) if marker in said else None

    def set_extension(self, enabled):
        method = "EnableExtension" if enabled else "DisableExtension"
        self.bus_call("-d", "org.gnome.Shell", "-o", "/org/gnome/Shell", "-m",
                      f"org.gnome.Shell.Extensions.{method}", self.EXTENSION)

    def pointer(self):
        return GnomePointer(self)


class GnomePointer:
    """The pointer of a GNOME Shell, moved through a remote desktop session
    (gnome_pointer.js), which knows only relative motion: a move to a place
    goes to the top-left corner first, then on by the place."""

    ESCAPE = 0xff1b

    def __init__(self, desktop):
        self.driver = desktop.spawn(["gjs", os.path.join(HERE, "wayland", "gnome_pointer.js")],
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

    def start(self):
        binary = shutil.which("kwin_wayland")
        if binary is None:
            raise Unavailable("kwin_wayland is not installed")
        copy = os.path.join(self.folder, "kwin_wayland")
        shutil.copy(binary, copy)
        self.env["KWIN_WAYLAND_NO_PERMISSION_CHECKS"] = "1"
        self.spawn([copy, "--virtual", "--xwayland", "--no-lockscreen", "--width", str(SIZE[0]),
                    "--height", str(SIZE[1])], stdout=self.log(), stderr=subprocess.STDOUT)

    def pointer(self):
        return KWinPointer(self)

    def script_loaded(self):
        return "true" in self.bus_call("-d", "org.kde.KWin", "-o", "/Scripting", "-m",
                                       "org.kde.kwin.Scripting.isScriptLoaded", "peerkin-pointer")

    def unload_script(self):
        self.bus_call("-d", "org.kde.KWin", "-o", "/Scripting", "-m", "org.kde.kwin.Scripting.unloadScript",
                      "peerkin-pointer")


class KWinPointer:
    """The pointer of a KWin session, moved through fake input (kwin_pointer)."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.tool = os.environ.get("PEERKIN_KWIN_POINTER", "")
        if not os.path.isfile(self.tool):
            raise Unavailable("no fake-input pointer client was built (libwayland-dev, plasma-wayland-protocols)")

    def move_to(self, x, y):
        # In two steps, as a hand moves it: after a single jump onto an X11
        # window Xwayland reports the pointer where it was before, until the
        # pointer moves on within the window.
        for step in ((x - 1, y), (x, y)):
            self._steps(f"{step[0]},{step[1]}")

    def press(self):
        self._steps("press")

    def release(self):
        self._steps("release")

    def _steps(self, *steps):
        subprocess.run([self.tool, *steps], env=self.desktop.client_env(), check=True, timeout=10)


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
