"""Measures the native X11 program beside its floor, a bare Xlib program with
the same window and the same eyes (bench/native/floor.cpp), on one private X
server and prints a table: the time from the start to the window, CPU per
60 s with the pointer still and moving, with the X server's share, and
resident memory. The program is measured twice: on the unscaled screen and
on a screen scaled to 200% (Xft.dpi 192), where it draws four times the
pixels.

Run by bench/native/run.sh after it has built the program. Standard library
only; the CPU, pointer and table helpers are those of bench/measure.py, so
that both benchmarks count the same way."""

import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path[:0] = [os.path.join(ROOT, "bench"), os.path.join(ROOT, "tools")]
from measure import (PARK, SCREEN, SETTLE, cpu_model, cpu_over_window, markdown, median, number,  # noqa: E402
                     spread, xdotool)
from pydesktop import display, figure  # noqa: E402
from pydesktop.processes import memory_kb  # noqa: E402

PROGRAM = "peerkin"
SCALED = "peerkin at 200%"
COMPARISON = "floor"
PROGRAMS = (PROGRAM, SCALED, COMPARISON)
# the X window names each program shows
WINDOW_NAMES = {PROGRAM: figure.CAPTION, SCALED: figure.CAPTION, COMPARISON: COMPARISON}
SCALED_DPI = 192
# At 200% the figure's default place would put its 386 x 558 window over the
# pointer's square; stored at the top-left corner it stays clear of it.
SCALED_SETTINGS = "[Orlo's Peerkin]\nTop=0\nLeft=0\n"
SHOW_TIMEOUT = 20.0


def visible_windows(name):
    """Ids of the viewable windows with exactly this name."""
    return display.visible_windows(f"^{name}$")


# --- one start of one program --------------------------------------------------

class Bench:
    def __init__(self, args):
        self.args = args
        self.xvfb = None
        self.folders = []

    def start(self):
        number = self.args.display
        if display.display_taken(number):
            raise SystemExit(f"display :{number} is taken; pick another with BENCH_DISPLAY")
        self.xvfb = display.start_xvfb(number)
        os.environ["DISPLAY"] = f":{number}"
        print(f"== Private X server :{number}", flush=True)

    def stop(self):
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        for folder in self.folders:
            shutil.rmtree(folder, ignore_errors=True)

    def command(self, name):
        """(command line, working folder, environment) for a fresh start of a program.
        The program runs from a new folder of its own, so no settings file puts it
        anywhere but its default place, and it gets its own folder for its
        instance lock, so a copy running on another display does not stop it."""
        folder = tempfile.mkdtemp(prefix="peerkin-native-bench-")
        self.folders.append(folder)
        env = dict(os.environ)
        if name in (PROGRAM, SCALED):
            exe = os.path.join(folder, PROGRAM)
            shutil.copy(self.args.program, exe)
            env["XDG_RUNTIME_DIR"] = folder
            env["XDG_CONFIG_HOME"] = folder
            if name == SCALED:
                env["XDG_CONFIG_HOME"] = os.path.join(folder, "config")
                os.makedirs(os.path.join(folder, "config", "peerkin"))
                with open(os.path.join(folder, "config", "peerkin", PROGRAM + ".ini"), "w") as settings:
                    settings.write(SCALED_SETTINGS)
            return [exe], folder, env
        return [self.args.comparison], folder, env

    def set_scale(self, name):
        """The desktop's scale the next start reads: 200% for the scaled run, none otherwise."""
        text = f"Xft.dpi: {SCALED_DPI}\n" if name == SCALED else ""
        subprocess.run(["xrdb", "-nocpp", "-load"], input=text, text=True, check=True)

    def launch(self, name):
        """Starts a program at its default place; returns its process and the
        seconds from its start to its window, once its window shows."""
        xdotool("mousemove", *PARK)
        if any(visible_windows(WINDOW_NAMES[n]) for n in PROGRAMS):
            raise RuntimeError("a window of an earlier start is still up")
        self.set_scale(name)
        command, folder, env = self.command(name)
        started = time.monotonic()
        process = subprocess.Popen(command, cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        deadline = started + SHOW_TIMEOUT
        while time.monotonic() < deadline:
            if process.poll() is not None:
                raise RuntimeError(f"{name} ended with {process.returncode} before showing its window")
            if visible_windows(WINDOW_NAMES[name]):
                return process, time.monotonic() - started
            time.sleep(0.005)
        process.kill()
        raise RuntimeError(f"{name} showed no window within {SHOW_TIMEOUT:g} s")

    def close(self, process):
        process.kill()
        process.wait()

    def counted(self, pids, seconds, moving):
        """(precise, ticks) CPU seconds each process used over a window of this length."""
        return cpu_over_window(pids, seconds, moving)

    def session(self, name):
        """One start of a program: its CPU and the X server's, pointer still then moving, and its memory."""
        process, launch_seconds = self.launch(name)
        try:
            time.sleep(SETTLE)
            pids = [process.pid, self.xvfb.pid]
            scale = 60 / self.args.window
            result = {"launch_ms": launch_seconds * 1000}
            for mode, moving in (("still", False), ("moving", True)):
                used = self.counted(pids, self.args.window, moving)
                if process.poll() is not None:
                    raise RuntimeError(f"{name} ended while it was measured")
                result[f"cpu_{mode}_program"] = used[0][0] * scale
                result[f"cpu_{mode}_xvfb"] = used[1][0] * scale
                result[f"cpu_{mode}_total"] = (used[0][0] + used[1][0]) * scale
                result[f"cpu_{mode}_total_ticks"] = (used[0][1] + used[1][1]) * scale
            result["rss_kb"], = memory_kb(process.pid, "VmRSS")
            return result
        finally:
            self.close(process)


# --- the table -----------------------------------------------------------------

def ratio(value, reference):
    return f"{value / reference:.2f}x" if reference else "-"


def summary_rows(runs):
    """Figure, both programs' medians and their ratio, one row per figure."""
    m = {name: {key: median([r[key] for r in runs[name]]) for key in runs[name][0]} for name in PROGRAMS}
    p, s, c = m[PROGRAM], m[SCALED], m[COMPARISON]
    figures = [("Start to the window shown", "launch_ms", "ms", 1),
               ("CPU per 60 s, pointer still, program + Xvfb", "cpu_still_total", "s", 1),
               ("CPU per 60 s, pointer still, program's own process", "cpu_still_program", "s", 1),
               ("CPU per 60 s, pointer moving, program + Xvfb", "cpu_moving_total", "s", 1),
               ("CPU per 60 s, pointer moving, program's own process", "cpu_moving_program", "s", 1),
               ("Resident memory (VmRSS)", "rss_kb", "MB", 1 / 1024)]
    return [(label, f"{number(p[key] * factor)} {unit}", f"{number(s[key] * factor)} {unit}",
             f"{number(c[key] * factor)} {unit}", ratio(p[key], c[key]), ratio(s[key], p[key]))
            for label, key, unit, factor in figures]


def detail_rows(runs):
    """Median (min-max) of each start for every figure counted."""
    keys = [("launch_ms", "Start to window, ms"), ("cpu_still_program", "CPU still, program, s/60 s"), ("cpu_still_xvfb", "CPU still, Xvfb"),
            ("cpu_still_total", "CPU still, total"), ("cpu_still_total_ticks", "CPU still, total, from stat"),
            ("cpu_moving_program", "CPU moving, program, s/60 s"), ("cpu_moving_xvfb", "CPU moving, Xvfb"),
            ("cpu_moving_total", "CPU moving, total"), ("cpu_moving_total_ticks", "CPU moving, total, from stat"),
            ("rss_kb", "VmRSS, KB")]
    return [(label, *(f"{number(median([r[key] for r in runs[n]]))} ({spread([r[key] for r in runs[n]])})"
                      for n in PROGRAMS)) for key, label in keys]


def first_line(command):
    """The first line a command prints on either stream, or "unknown"."""
    try:
        out = subprocess.run(command, capture_output=True, text=True)
    except OSError:
        return "unknown"
    lines = [line.strip() for line in (out.stdout + out.stderr).splitlines() if line.strip()]
    return lines[0] if lines else "unknown"


def machine():
    """The processor, kernel and X server the figures were measured on."""
    model = cpu_model()
    return (f"{os.cpu_count()} CPUs ({model}), Linux {os.uname().release}, "
            f"Xvfb {package_version('xvfb')} {SCREEN[0]}x{SCREEN[1]}x24 -noreset, no window manager")


def package_version(package):
    """The installed version of a Debian package, or "unknown"."""
    return first_line(["dpkg-query", "-W", "-f", "${Version}\n", package])


def report(runs, args):
    header = ("Figure", PROGRAM, SCALED, f"{COMPARISON} (bench/native/floor.cpp)", "peerkin / floor",
              "200% / 100%")
    table = markdown(header, summary_rows(runs))
    details = markdown(("Median (min-max) of each start", *PROGRAMS), detail_rows(runs))
    return (f"Measured {time.strftime('%Y-%m-%d %H:%M %Z')} on {machine()}; {args.runs} starts of each "
            f"program, taking turns, with {args.window:g} s per pointer mode, scaled to 60 s.\n\n"
            f"{table}\n\n{details}\n")


def main(args):
    bench = Bench(args)
    runs = {name: [] for name in PROGRAMS}
    try:
        bench.start()
        for name in PROGRAMS:  # warm the page cache and the X server; not counted
            bench.close(bench.launch(name)[0])
        for run in range(args.runs):
            # Each run swaps the order, so that drift over the run hits both alike.
            for name in PROGRAMS if run % 2 == 0 else reversed(PROGRAMS):
                result = bench.session(name)
                runs[name].append(result)
                print(f"run {run + 1}/{args.runs} {name}: CPU/60 s still {result['cpu_still_total']:.3f} s, "
                      f"moving {result['cpu_moving_total']:.3f} s (program + Xvfb), "
                      f"VmRSS {result['rss_kb']} KB", flush=True)
    finally:
        bench.stop()
    text = report(runs, args)
    print("\n" + text)
    with open(args.out + ".md", "w") as f:
        f.write(text)
    with open(args.out + ".json", "w") as f:
        json.dump(runs, f, indent=1)


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, help="the native program to measure")
    parser.add_argument("--comparison", required=True, help="the floor program to run beside it")
    parser.add_argument("--display", type=int, required=True, help="X display number of a private X server")
    parser.add_argument("--runs", type=int, default=5, help="starts of each program counted")
    parser.add_argument("--window", type=float, default=12.0, help="seconds counted per pointer mode")
    parser.add_argument("--out", required=True, help="results file, without extension")
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    return args


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    main(parse_args())
