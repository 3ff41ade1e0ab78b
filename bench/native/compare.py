"""Measures the native X11 program beside a small X program of the same kind
on one private X server and prints a table: CPU per 60 s with the pointer
still and moving, with the X server's share, and resident memory.

Run by bench/native/run.sh after it has built the program. Standard library
only; the CPU, memory and pointer helpers are those of bench/measure.py, so
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

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import measure  # noqa: E402  (bench/measure.py)
from measure import cpu_model, cpu_over_window, markdown, median, memory_kb, number, spread, xdotool  # noqa: E402

PROGRAM = "peerkin"
COMPARISON = "xeyes"
PROGRAMS = (PROGRAM, COMPARISON)
WINDOW_NAMES = {PROGRAM: "Form1", COMPARISON: COMPARISON}  # the X window names each program shows
SCREEN = measure.SCREEN
PARK = measure.PARK
SETTLE = measure.SETTLE
SHOW_TIMEOUT = 20.0


# --- the X server --------------------------------------------------------------

def visible_windows(name):
    """Ids of the viewable windows with exactly this name."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"],
                           capture_output=True, text=True)
    return found.stdout.split()


def free_display(first, last):
    """The first display number in the range with neither a socket nor a lock."""
    for display in range(first, last + 1):
        if not os.path.exists(f"/tmp/.X11-unix/X{display}") and not os.path.exists(f"/tmp/.X{display}-lock"):
            return display
    raise SystemExit(f"no free display between :{first} and :{last}; pick one with BENCH_DISPLAY")


def start_xvfb(display):
    """A private X server, kept up for the whole run, reset by no client's exit."""
    if os.path.exists(f"/tmp/.X{display}-lock"):
        raise SystemExit(f"display :{display} is taken; pick another with BENCH_DISPLAY")
    xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-noreset",
                             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = f":{display}"
    for _ in range(100):
        if xvfb.poll() is not None:
            raise SystemExit(f"Xvfb :{display} ended at once")
        if subprocess.run(["xdotool", "getmouselocation"], capture_output=True).returncode == 0:
            return xvfb
        time.sleep(0.05)
    xvfb.kill()
    raise SystemExit(f"Xvfb :{display} did not answer")


# --- one start of one program --------------------------------------------------

class Bench:
    def __init__(self, args):
        self.args = args
        self.xvfb = None
        self.folders = []

    def start(self):
        display = self.args.display or free_display(161, 170)
        self.xvfb = start_xvfb(display)
        print(f"== Private X server :{display}", flush=True)

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
        if name == PROGRAM:
            exe = os.path.join(folder, PROGRAM)
            shutil.copy(self.args.program, exe)
            env["XDG_RUNTIME_DIR"] = folder
            return [exe], folder, env
        return [self.args.comparison], folder, env

    def launch(self, name):
        """Starts a program at its default place; returns its process once its window shows."""
        xdotool("mousemove", *PARK)
        if any(visible_windows(WINDOW_NAMES[n]) for n in PROGRAMS):
            raise RuntimeError("a window of an earlier start is still up")
        command, folder, env = self.command(name)
        process = subprocess.Popen(command, cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + SHOW_TIMEOUT
        while time.monotonic() < deadline:
            if process.poll() is not None:
                raise RuntimeError(f"{name} ended with {process.returncode} before showing its window")
            if visible_windows(WINDOW_NAMES[name]):
                return process
            time.sleep(0.02)
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
        process = self.launch(name)
        try:
            time.sleep(SETTLE)
            pids = [process.pid, self.xvfb.pid]
            scale = 60 / self.args.window
            result = {}
            for mode, moving in (("still", False), ("moving", True)):
                used = self.counted(pids, self.args.window, moving)
                if process.poll() is not None:
                    raise RuntimeError(f"{name} ended while it was measured")
                result[f"cpu_{mode}_program"] = used[0][0] * scale
                result[f"cpu_{mode}_xvfb"] = used[1][0] * scale
                result[f"cpu_{mode}_total"] = (used[0][0] + used[1][0]) * scale
                result[f"cpu_{mode}_total_ticks"] = (used[0][1] + used[1][1]) * scale
            result["rss_kb"], _ = memory_kb(process.pid)
            return result
        finally:
            self.close(process)


# --- the table -----------------------------------------------------------------

def ratio(value, reference):
    return f"{value / reference:.2f}x" if reference else "-"


def summary_rows(runs):
    """Figure, both programs' medians and their ratio, one row per figure."""
    m = {name: {key: median([r[key] for r in runs[name]]) for key in runs[name][0]} for name in PROGRAMS}
    p, c = m[PROGRAM], m[COMPARISON]
    figures = [("CPU per 60 s, pointer still, program + Xvfb", "cpu_still_total", "s", 1),
               ("CPU per 60 s, pointer still, program's own process", "cpu_still_program", "s", 1),
               ("CPU per 60 s, pointer moving, program + Xvfb", "cpu_moving_total", "s", 1),
               ("CPU per 60 s, pointer moving, program's own process", "cpu_moving_program", "s", 1),
               ("Resident memory (VmRSS)", "rss_kb", "MB", 1 / 1024)]
    return [(label, f"{number(p[key] * factor)} {unit}", f"{number(c[key] * factor)} {unit}", ratio(p[key], c[key]))
            for label, key, unit, factor in figures]


def detail_rows(runs):
    """Median (min-max) of each start for every figure counted."""
    keys = [("cpu_still_program", "CPU still, program, s/60 s"), ("cpu_still_xvfb", "CPU still, Xvfb"),
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


def report(runs):
    header = ("Figure", PROGRAM, f"{COMPARISON} (x11-apps {package_version('x11-apps')}, default geometry)", "Ratio")
    table = markdown(header, summary_rows(runs))
    details = markdown(("Median (min-max) of each start", *PROGRAMS), detail_rows(runs))
    return (f"Measured {time.strftime('%Y-%m-%d %H:%M %Z')} on {machine()}; {ARGS.runs} starts of each "
            f"program, taking turns, with {ARGS.window:g} s per pointer mode, scaled to 60 s.\n\n"
            f"{table}\n\n{details}\n")


def main():
    bench = Bench(ARGS)
    runs = {name: [] for name in PROGRAMS}
    try:
        bench.start()
        for name in PROGRAMS:  # warm the page cache and the X server; not counted
            bench.close(bench.launch(name))
        for run in range(ARGS.runs):
            # Each run swaps the order, so that drift over the run hits both alike.
            for name in PROGRAMS if run % 2 == 0 else reversed(PROGRAMS):
                result = bench.session(name)
                runs[name].append(result)
                print(f"run {run + 1}/{ARGS.runs} {name}: CPU/60 s still {result['cpu_still_total']:.3f} s, "
                      f"moving {result['cpu_moving_total']:.3f} s (program + Xvfb), "
                      f"VmRSS {result['rss_kb']} KB", flush=True)
    finally:
        bench.stop()
    text = report(runs)
    print("\n" + text)
    with open(ARGS.out + ".md", "w") as f:
        f.write(text)
    with open(ARGS.out + ".json", "w") as f:
        json.dump(runs, f, indent=1)


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, help="the native program to measure")
    parser.add_argument("--comparison", default=COMPARISON, help="the comparison program to run beside it")
    parser.add_argument("--display", type=int, default=0, help="X display number; default the first free from 161")
    parser.add_argument("--runs", type=int, default=5, help="starts of each program counted")
    parser.add_argument("--window", type=float, default=12.0, help="seconds counted per pointer mode")
    parser.add_argument("--out", required=True, help="results file, without extension")
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    return args


if __name__ == "__main__":
    ARGS = parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    main()
