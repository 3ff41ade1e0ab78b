"""Measures the native program on headless Wayland desktops (GNOME Shell,
KWin) beside the same program on a private Xvfb: the program's own CPU per
60 s with the pointer still and moving, and how many reports the desktop's
helper sent meanwhile (none with the pointer still: it does no work then).
The pointer walks a square round PARK at MOVES_PER_SECOND, as in the X11
benchmark, and once more at FAST_MOVES_PER_SECOND, quicker than the
helper's own pace, so that its spacing of reports shows.

Run by bench/native/wayland.sh. Standard library only; the desktops are
those of the end-to-end tests (tools/pydesktop/sessions.py)."""

import argparse
import contextlib
import os
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.dont_write_bytecode = True
sys.path[:0] = [os.path.join(ROOT, "bench"), os.path.join(ROOT, "tools")]
from measure import MOVES_PER_SECOND, PARK, SETTLE, SQUARE, markdown, median, number  # noqa: E402
from pydesktop import display  # noqa: E402
from pydesktop.processes import cpu_seconds  # noqa: E402
from pydesktop.sessions import GnomeShell, KWin, Release, WaylandFigure  # noqa: E402

FAST_MOVES_PER_SECOND = 100


def square(rate, seconds):
    """The places of a walk round the square, one per move."""
    step = SQUARE // 10
    legs = [(step, 0), (0, step), (-step, 0), (0, -step)]
    x, y = PARK[0] - SQUARE // 2, PARK[1] - SQUARE // 2
    for move in range(int(seconds * rate)):
        dx, dy = legs[(move // 10) % 4]
        x, y = x + dx, y + dy
        yield x, y


class X11Session:
    """The program on a private Xvfb, the pointer moved with XTest (xdotool)."""

    name = "X11 (Xvfb)"
    desktop = None

    def __init__(self, number, share):
        self.xvfb = display.start_xvfb(number)
        self.env = dict(os.environ, DISPLAY=f":{number}")

    @contextlib.contextmanager
    def figure(self, exe):
        with tempfile.TemporaryDirectory(prefix="peerkin-wl-bench-") as folder:
            env = dict(self.env, XDG_RUNTIME_DIR=folder, XDG_CONFIG_HOME=folder)
            process = subprocess.Popen([exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                time.sleep(1)
                yield process.pid
            finally:
                process.kill()
                process.wait()

    def walk(self, rate, seconds):
        command = ["xdotool"]
        for x, y in square(rate, seconds):
            command += ["mousemove", str(x), str(y), "sleep", f"{1 / rate:.3f}"]
        subprocess.run(command, env=self.env, check=True)

    def park(self):
        subprocess.run(["xdotool", "mousemove", *map(str, PARK)], env=self.env, check=True)

    def close(self):
        self.xvfb.terminate()
        self.xvfb.wait()


class DesktopSession:
    """The program on a headless Wayland desktop's Xwayland, the pointer moved
    through the desktop's own remote input."""

    def __init__(self, kind, share, exe):
        self.desktop = kind(Release(share, exe)).__enter__()
        self.name = f"{kind.name} (Wayland)"
        self.pointer = self.desktop.pointer()
        if kind is GnomeShell:
            time.sleep(1)
            self.pointer.key(self.pointer.ESCAPE)  # out of the overview

    @contextlib.contextmanager
    def figure(self, exe):  # the desktop's release holds the same exe
        with WaylandFigure(self.desktop) as figure:
            yield figure.process.pid

    def walk(self, rate, seconds):
        if hasattr(self.pointer, "steps"):
            # KWin's: absolute places, pausing between moves.
            steps = [f"{x},{y} +{round(1000 / rate)}" for x, y in square(rate, seconds)]
            self.pointer.steps(*" ".join(steps).split())
            return
        # GNOME's remote input moves by steps only: one step a move, as a hand.
        relative = hasattr(self.pointer, "move_by")
        last = (PARK[0] - SQUARE // 2, PARK[1] - SQUARE // 2)
        if relative:
            self.pointer.move_to(*last)
        start = time.monotonic()
        for number, place in enumerate(square(rate, seconds)):
            if relative:
                self.pointer.move_by(place[0] - last[0], place[1] - last[1])
                last = place
            else:
                self.pointer.move_to(*place)
            time.sleep(max(0.0, start + (number + 1) / rate - time.monotonic()))

    def park(self):
        self.pointer.move_to(*PARK)

    def close(self):
        self.desktop.__exit__()


class Reports:
    """Counts the helper's calls of the program's Moved, as the bus sees them."""

    def __init__(self, desktop):
        self.monitor = subprocess.Popen(["dbus-monitor", "--session", "interface='org.orlo.Peerkin.Pointer'"],
                                        env=desktop.env, stdout=subprocess.PIPE, text=True)
        self.count = 0
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.monitor.stdout:
            self.count += "member=Moved" in line

    def close(self):
        self.monitor.kill()
        self.monitor.wait()


MODES = (("still", 0), ("moving", MOVES_PER_SECOND), ("fast", FAST_MOVES_PER_SECOND))


def one_start(session, exe, window):
    """The figures of one start of the program in a session."""
    reports = Reports(session.desktop) if session.desktop else None
    result = {}
    with session.figure(exe) as pid:
        time.sleep(SETTLE)
        for mode, rate in MODES:
            session.park()
            time.sleep(0.5)
            counted = reports.count if reports else 0
            before = cpu_seconds(pid)[0]
            started = time.monotonic()
            if rate:
                session.walk(rate, window)
            time.sleep(max(0.0, window - (time.monotonic() - started)))
            result[f"cpu_{mode}"] = (cpu_seconds(pid)[0] - before) * 60 / window
            result[f"reports_{mode}"] = (reports.count - counted) * 60 / window if reports else None
    if reports:
        reports.close()
    return result


def table(results):
    rows = []
    x11 = results.get("X11 (Xvfb)")
    reference = {mode: median([r[f"cpu_{mode}"] for r in x11]) if x11 else 0 for mode, _ in MODES}
    for name, runs in results.items():
        row = [name]
        for mode, _ in MODES:
            cpu = median([r[f"cpu_{mode}"] for r in runs])
            row.append(f"{number(cpu)} s ({cpu / reference[mode]:.2f}x)" if reference[mode] else f"{number(cpu)} s")
        for mode, _ in MODES:
            counts = [r[f"reports_{mode}"] for r in runs]
            row.append("-" if counts[0] is None else number(median(counts)))
        rows.append(row)
    header = ("Session", "CPU/60 s still", f"moving {MOVES_PER_SECOND}/s", f"moving {FAST_MOVES_PER_SECOND}/s",
              "reports/60 s still", f"moving {MOVES_PER_SECOND}/s", f"moving {FAST_MOVES_PER_SECOND}/s")
    return markdown(header, rows)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--share", required=True, help="the desktop helpers, laid out as installed")
    parser.add_argument("--display", type=int, required=True, help="a free X display number for Xvfb")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--window", type=float, default=10.0)
    parser.add_argument("--sessions", default="x11,gnome,kwin", help="which sessions, of x11, gnome and kwin")
    args = parser.parse_args()
    results = {}
    makers = [("x11", "X11 (Xvfb)", lambda: X11Session(args.display, args.share)),
              ("gnome", f"{GnomeShell.name} (Wayland)", lambda: DesktopSession(GnomeShell, args.share, args.program)),
              ("kwin", f"{KWin.name} (Wayland)", lambda: DesktopSession(KWin, args.share, args.program))]
    for key, name, make in makers:
        if key not in args.sessions.split(","):
            continue
        session = make()
        try:
            results[name] = []
            for run in range(args.runs):
                results[name].append(one_start(session, args.program, args.window))
                print(f"{name} run {run + 1}: {results[name][-1]}", flush=True)
        finally:
            session.close()
    print(f"\nMeasured {time.strftime('%Y-%m-%d %H:%M %Z')}; {args.runs} starts per session, "
          f"{args.window:g} s per pointer mode, scaled to 60 s; the program's own process; ratios "
          f"against X11.\n\n{table(results)}")


if __name__ == "__main__":
    main()
