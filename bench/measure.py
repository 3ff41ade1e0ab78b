"""Measures the figure against its floors under Wine on a private X server and
prints one table: every figure with its floor and the ratio between them.

Run by bench/run.sh after it has built the programs. Standard library only;
the X server is read through libX11 with ctypes, so that the first paint is
seen within a couple of milliseconds rather than a screenshot's fifty."""

import argparse
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
sys.dont_write_bytecode = True  # keep the source tree free of caches
from pydesktop import display, figure, wine, xlib  # noqa: E402
from pydesktop.processes import cpu_seconds, memory_kb, windows_process, wineserver_pid  # noqa: E402

PROGRAMS = ("baseline", "ticker", "direct", "Peerkin")
SCREEN = display.SCREEN
EYE_RING = 13  # pixels from an eye's centre: red, wherever the pupil looks
PARK = (512, 500)  # the still pointer, below the window
SQUARE = 100  # the moving pointer walks a square of this side around PARK
MOVES_PER_SECOND = 20
SETTLE = 2.0  # seconds after the first paint before CPU is counted


# --- the screen ----------------------------------------------------------------

SCALED_DPI = 192  # the figure once more on a screen at 200%


def ring_points(left, top, scale=1):
    """Eight points of the ring round each eye of a window at (left, top),
    shown at scale; the pupil can cover at most two of an eye's eight."""
    ring = [(EYE_RING, 0), (-EYE_RING, 0), (0, EYE_RING), (0, -EYE_RING), (9, 9), (-9, 9), (9, -9), (-9, -9)]
    return [[(left + round((ex + dx) * scale), top + round((ey + dy) * scale)) for dx, dy in ring]
            for ex, ey in figure.EYES]


def shows_red_eyes(x, left, top, scale=1):
    """True when the ring round each eye of a window at (left, top) is red."""
    eyes = ring_points(left, top, scale)
    colours = x.rgb_at([point for eye in eyes for point in eye])
    if colours is None:
        return False
    per_eye = len(eyes[0])
    return all(colours[i:i + per_eye].count(figure.RED) >= 6 for i in range(0, len(colours), per_eye))


# --- the pointer, and CPU over a window ---------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, stdout=subprocess.DEVNULL)


def mover_command(seconds):
    """One xdotool process that walks the pointer round a square with
    relative moves, MOVES_PER_SECOND of them a second."""
    step = SQUARE // 10
    legs = [(step, 0), (0, step), (-step, 0), (0, -step)]
    command = ["xdotool", "mousemove", PARK[0] - SQUARE // 2, PARK[1] - SQUARE // 2]
    for move in range(int(seconds * MOVES_PER_SECOND)):
        dx, dy = legs[(move // 10) % 4]
        command += ["sleep", f"{1 / MOVES_PER_SECOND:.3f}", "mousemove_relative", "--", dx, dy]
    return [str(part) for part in command]


def cpu_over_window(pids, seconds, moving, env=None):
    """(precise, ticks) CPU seconds each process used over a window of the
    given length, the pointer still or walked round by xdotool, and parked
    again afterwards."""
    before = [cpu_seconds(pid) for pid in pids]
    mover = subprocess.Popen(mover_command(seconds), env=env) if moving else None
    time.sleep(seconds)
    after = [cpu_seconds(pid) for pid in pids]
    if mover:
        mover.wait()
        xdotool("mousemove", *PARK)
    return [(b[0] - a[0], b[1] - a[1]) for a, b in zip(before, after)]


# --- one run of one program --------------------------------------------------

class Bench:
    def __init__(self, args):
        self.args = args
        self.env = dict(wine.environment(args.loader, args.prefix), DISPLAY=args.display_name)
        self.xvfb = None
        self.x = None
        self.wineserver = None
        self.folder = tempfile.mkdtemp(prefix="peerkin-bench-")
        # The figure at 200%: a prefix of its own, and a settings file that
        # keeps its larger window clear of the pointer's square.
        self.scaled_env = None
        self.scaled_folder = os.path.join(self.folder, "scaled")
        self.scaled_wineserver = None

    # The private X server and the Wine prefix, kept up for the whole run.
    def start(self):
        if display.display_taken(self.args.display):
            raise SystemExit(f"display :{self.args.display} is taken; pick another with BENCH_DISPLAY")
        self.xvfb = display.start_xvfb(self.args.display)
        self.x = xlib.Connection(self.args.display_name)
        os.environ["DISPLAY"] = self.args.display_name
        self.wineserver = self.persistent_wineserver(self.env)
        scaled_prefix = wine.prefix_at_dpi(self.args.prefix + f"-{SCALED_DPI}dpi", SCALED_DPI, self.env)
        self.scaled_env = dict(self.env, WINEPREFIX=scaled_prefix)
        self.scaled_wineserver = self.persistent_wineserver(self.scaled_env)
        for name in PROGRAMS:
            shutil.copy(self.args.programs[name], os.path.join(self.folder, f"{name}.exe"))
        os.makedirs(self.scaled_folder)
        shutil.copy(self.args.programs["Peerkin"], os.path.join(self.scaled_folder, "Peerkin.exe"))
        with open(os.path.join(self.scaled_folder, "Peerkin.ini"), "w") as ini:
            ini.write("[Orlo's Peerkin]\r\nTop=0\r\nLeft=0\r\n")

    @staticmethod
    def persistent_wineserver(env):
        """The wineserver of env's prefix, made once and kept up for the whole run."""
        wine.prepare_prefix(env)
        for _ in range(100):
            pid = wineserver_pid(env["WINEPREFIX"])
            if pid:
                return pid
            time.sleep(0.05)
        raise SystemExit(f"no wineserver found for the prefix {env['WINEPREFIX']}")

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, check=False)
        if self.scaled_env:
            subprocess.run(["wineserver", "-k"], env=self.scaled_env, check=False)
        if self.x:
            self.x.close()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def launch(self, name):
        """Starts a program; returns (process, seconds to its first paint).
        The first paint is the red eyes on the screen; started with
        shown=[], the seconds until the window showed at all go in there."""
        return self.launch_timed(name, [])[:2]

    def launch_timed(self, name, shown, scaled=False):
        """As launch, and the seconds until the window was on the screen
        appended to shown; scaled, the figure at 200%."""
        xdotool("mousemove", *PARK)
        if self.x.figure_windows():
            raise RuntimeError("a window of an earlier run is still up")
        folder, env, scale = (self.scaled_folder, self.scaled_env, SCALED_DPI / 96) if scaled else \
            (self.folder, self.env, 1)
        exe = os.path.join(folder, f"{name}.exe")
        started = time.monotonic()
        process = subprocess.Popen([self.args.loader, exe], cwd=folder, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = started + 30
        while time.monotonic() < deadline:
            windows = self.x.figure_windows()
            if windows and not shown:
                shown.append(time.monotonic() - started)
            if windows and shows_red_eyes(self.x, *windows[0], scale):
                return process, time.monotonic() - started, shown
            time.sleep(0.001)
        process.kill()
        raise RuntimeError(f"{name} showed no red eyes within 30 s")

    def close(self, process):
        process.kill()
        process.wait()
        deadline = time.monotonic() + 10
        while self.x.figure_windows() and time.monotonic() < deadline:
            time.sleep(0.02)

    def counted(self, pids, seconds, moving):
        """CPU seconds of each process over a window of the given length."""
        return cpu_over_window(pids, seconds, moving, self.env)

    def session(self, name):
        """One start of a program: its first paint, its CPU with the pointer
        still and moving, its memory."""
        process, first_paint = self.launch(name)
        try:
            pid = windows_process(f"{name}.exe", process.pid, self.args.prefix)
            time.sleep(SETTLE)
            pids = [pid, self.wineserver, self.xvfb.pid]
            window = self.args.window
            result = {"first_paint_ms": first_paint * 1000}
            for mode, moving in (("still", False), ("moving", True)):
                used = self.counted(pids, window, moving)
                scale = 60 / window
                result[f"cpu_{mode}_program"] = used[0][0] * scale
                result[f"cpu_{mode}_total"] = sum(u[0] for u in used) * scale
                result[f"cpu_{mode}_total_ticks"] = sum(u[1] for u in used) * scale
                result[f"cpu_{mode}_wineserver"] = used[1][0] * scale
                result[f"cpu_{mode}_xvfb"] = used[2][0] * scale
            result["rss_kb"], result["hwm_kb"] = memory_kb(pid, "VmRSS", "VmHWM")
            return result
        finally:
            self.close(process)

    def session_at_200_percent(self):
        """One start of the figure at 200%: its CPU with the pointer moving."""
        process, _, _ = self.launch_timed("Peerkin", [], scaled=True)
        try:
            pid = windows_process("Peerkin.exe", process.pid, self.scaled_env["WINEPREFIX"])
            time.sleep(SETTLE)
            used = self.counted([pid, self.scaled_wineserver, self.xvfb.pid], self.args.window, True)
            scale = 60 / self.args.window
            return {"cpu_moving_program_2x": used[0][0] * scale,
                    "cpu_moving_total_2x": sum(u[0] for u in used) * scale}
        finally:
            self.close(process)

    def inproc(self):
        out = subprocess.run([self.args.loader, self.args.inproc], env=self.env, capture_output=True, text=True,
                             timeout=300, cwd=self.folder)
        figures = {}
        if "scan_ms" not in out.stdout:
            raise RuntimeError(f"in-process bench ended early ({out.returncode}):\n{out.stdout}{out.stderr}")
        for line in out.stdout.splitlines():
            key, _, value = line.partition(" ")
            if key == "failure":
                raise RuntimeError(f"in-process bench: {line}")
            try:
                figures[key] = float(value)
            except ValueError:
                pass
        return figures


# --- the executable file -------------------------------------------------------

def exe_facts(path):
    return {"size": os.path.getsize(path), "dlls": sorted(wine.imported_dlls(path))}


# --- the table -----------------------------------------------------------------

def median(values):
    return statistics.median(values)


def number(value):
    """Three significant digits, but whole numbers from 100 on."""
    return f"{value:.0f}" if abs(value) >= 100 else f"{value:.3g}"


def spread(values):
    return f"{number(min(values))}-{number(max(values))}"


def with_unit(value, unit):
    return f"{number(value)} {unit}" if unit else number(value)


def build_table(runs, first_paints, inproc, product, floor_exe):
    m = {name: {key: median([r[key] for r in runs[name]]) for key in runs[name][0]} for name in PROGRAMS}
    rows = []

    def row(figure, value, floor_name, floor_value, unit, goal, met, ratio=None):
        if ratio is None:
            ratio = f"{value / floor_value:.2f}x" if floor_value else "-"
        floor = f"{with_unit(floor_value, unit)} ({floor_name})" if floor_name else "-"
        verdict = "-" if met is None else ("yes" if met else "no")
        rows.append((figure, with_unit(value, unit), floor, ratio, goal, verdict))

    p, b, t, d = m["Peerkin"], m["baseline"], m["ticker"], m["direct"]
    row("CPU per 60 s, pointer moving, program + wineserver + Xvfb", p["cpu_moving_total"], "direct",
        d["cpu_moving_total"], "s", "<= 1.0x direct", p["cpu_moving_total"] <= d["cpu_moving_total"])
    row("CPU per 60 s, pointer moving, program's own process", p["cpu_moving_program"], "direct",
        d["cpu_moving_program"], "s", "", None)
    row("CPU per 60 s, pointer moving, program + wineserver + Xvfb, screen at 200%", p["cpu_moving_total_2x"],
        "Peerkin at 100%", p["cpu_moving_total"], "s", "", None)
    row("CPU per 60 s, pointer moving, program + wineserver + Xvfb", p["cpu_moving_total"], "ticker",
        t["cpu_moving_total"], "s", "<= 1.0x ticker", p["cpu_moving_total"] <= t["cpu_moving_total"])
    row("CPU per 60 s, pointer still, program + wineserver + Xvfb", p["cpu_still_total"], "baseline",
        b["cpu_still_total"], "s", "<= 1.1x baseline", p["cpu_still_total"] <= 1.1 * b["cpu_still_total"])
    row("CPU per 60 s, pointer still, program's own process", p["cpu_still_program"], "baseline",
        b["cpu_still_program"], "s", "", None)
    paints = {name: median(first_paints[name]) for name in PROGRAMS}
    shown = {name: median(first_paints[f"{name} shown"]) for name in PROGRAMS}
    row("Launch to the window on the screen", shown["Peerkin"], "baseline", shown["baseline"], "ms",
        "<= baseline + 10 ms", shown["Peerkin"] <= shown["baseline"] + 10)
    # The floors draw their eyes before they first paint; the figure's come
    # with its first tick, one interval after it loads, never before Main
    # has returned.
    row("Launch to red eyes on the screen", paints["Peerkin"], "baseline", paints["baseline"], "ms", "", None)
    row("Resident memory, steady (VmRSS)", p["rss_kb"] / 1024, "baseline", b["rss_kb"] / 1024, "MB",
        "<= baseline + 1 MB", p["rss_kb"] <= b["rss_kb"] + 1024)
    row("Resident memory, peak (VmHWM)", p["hwm_kb"] / 1024, "baseline", b["hwm_kb"] / 1024, "MB",
        "<= baseline + 1 MB", p["hwm_kb"] <= b["hwm_kb"] + 1024)
    scan_and_build = inproc["scan_ms"] - inproc["set_window_region_ms"]
    row("Load-time scan: every pixel read + region built", scan_and_build, "direct memory read + unions",
        inproc["scan_floor_ms"], "ms", "<= 1 ms", scan_and_build <= 1.0)
    row("  the same with the region handed to the window (TrimForm)", inproc["scan_ms"], "", 0, "ms", "", None,
        ratio="-")
    row("  of which handing the region over (SetWindowRgn alone)", inproc["set_window_region_ms"], "", 0, "ms",
        "", None, ratio="-")
    row(f"  of which the {inproc['spans']:.0f} region unions alone", inproc["region_unions_ms"], "", 0, "ms", "",
        None, ratio="-")
    row("  of which every pixel read alone, one Point each", inproc["pixel_reads_ms"], "", 0, "ms", "", None,
        ratio="-")
    ticks = max(inproc["allocations_per_tick_moving"], inproc["allocations_per_tick_still"])
    row("Heap allocations per tick", ticks, "", 0, "", "0", ticks == 0, ratio="-")
    row("Heap allocations per start (operator new)", inproc["allocations_per_start"], "", 0, "", "", None,
        ratio="-")
    row("Exe size (32-bit dist program)", product["size"] / 1024, "baseline", floor_exe["size"] / 1024, "KB",
        "<= 256 KB", product["size"] <= 256 * 1024)
    foreign = [d for d in product["dlls"] if d not in wine.SYSTEM_DLLS]
    rows.append(("Imported DLLs", ", ".join(product["dlls"]), ", ".join(floor_exe["dlls"]) + " (baseline)", "-",
                 "system DLLs only", "yes" if not foreign else "no"))
    return rows


def detail_rows(runs, first_paints):
    rows = [("launch to the window on the screen, ms",
             *(f"{number(median(first_paints[n + ' shown']))} ({spread(first_paints[n + ' shown'])})"
               for n in PROGRAMS)),
            ("launch to red eyes, ms", *(f"{number(median(first_paints[n]))} ({spread(first_paints[n])})"
                                         for n in PROGRAMS))]
    keys = [("first_paint_ms", "first paint in the CPU runs, ms"), ("cpu_still_program", "CPU still, program, s/60 s"),
            ("cpu_still_total", "CPU still, total, s/60 s"), ("cpu_still_wineserver", "CPU still, wineserver"),
            ("cpu_still_xvfb", "CPU still, Xvfb"), ("cpu_moving_program", "CPU moving, program, s/60 s"),
            ("cpu_moving_total", "CPU moving, total, s/60 s"), ("cpu_moving_wineserver", "CPU moving, wineserver"),
            ("cpu_moving_xvfb", "CPU moving, Xvfb"), ("cpu_moving_total_ticks", "CPU moving, total, from stat"),
            ("rss_kb", "VmRSS, KB"), ("hwm_kb", "VmHWM, KB")]
    for key, label in keys:
        rows.append((label, *(f"{number(median([r[key] for r in runs[n]]))} ({spread([r[key] for r in runs[n]])})"
                              for n in PROGRAMS)))
    return rows


def cpu_model():
    """The processor's name as the kernel reports it."""
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown"


def markdown(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(cell) for cell in row) + " |" for row in rows]
    return "\n".join(lines)


def machine(loader):
    """The processor, kernel, Wine and X server the figures were measured on."""
    model = cpu_model()
    version = subprocess.run([loader, "--version"], capture_output=True, text=True).stdout.strip()
    return (f"{os.cpu_count()} CPUs ({model}), Linux {os.uname().release}, {version}, "
            f"Xvfb {SCREEN[0]}x{SCREEN[1]}x24 -noreset")


def measure(bench, args):
    """(runs, first paints, in-process figures): the starts of every program,
    after a warm-up start of each that is not counted."""
    runs = {name: [] for name in PROGRAMS}
    for name in PROGRAMS:  # warm Wine and the page cache; not counted
        process, _ = bench.launch(name)
        bench.close(process)
    # Start-up varies from one launch to the next more than anything else:
    # it gets launches of its own, interleaved.
    first_paints = {name: [] for name in PROGRAMS}
    first_paints.update({f"{name} shown": [] for name in PROGRAMS})
    for _ in range(args.launches):
        for name in PROGRAMS:
            process, seconds, shown = bench.launch_timed(name, [])
            bench.close(process)
            first_paints[name].append(seconds * 1000)
            first_paints[f"{name} shown"].append(shown[0] * 1000)
    print("first paint, ms: " + ", ".join(f"{name} {median(first_paints[name]):.0f}" for name in PROGRAMS),
          flush=True)
    for run in range(args.runs):
        for name in PROGRAMS:
            result = bench.session(name)
            if name == "Peerkin":
                result.update(bench.session_at_200_percent())
            runs[name].append(result)
            print(f"run {run + 1}/{args.runs} {name}: first paint {result['first_paint_ms']:.0f} ms, "
                  f"CPU/60 s still {result['cpu_still_total']:.3f} s, moving {result['cpu_moving_total']:.3f} s",
                  flush=True)
    return runs, first_paints, bench.inproc()


def main(args):
    bench = Bench(args)
    try:
        bench.start()
        runs, first_paints, inproc = measure(bench, args)
    finally:
        bench.stop()
    product = exe_facts(args.product)
    floor_exe = exe_facts(args.floor_exe)
    table = markdown(("Figure", "Peerkin", "Floor", "Ratio", "Goal", "Met"),
                     build_table(runs, first_paints, inproc, product, floor_exe))
    details = markdown(("Median (min-max) of each run", *PROGRAMS), detail_rows(runs, first_paints))
    report = (f"Measured {time.strftime('%Y-%m-%d %H:%M %Z')} on {machine(args.loader)}; "
              f"{args.launches} launches per program for the first paint; {args.runs} runs of "
              f"{args.window:g} s per pointer mode for CPU and memory, scaled to 60 s.\n\n"
              f"{table}\n\n{details}\n")
    print("\n" + report)
    with open(args.out + ".md", "w") as f:
        f.write(report)
    with open(args.out + ".json", "w") as f:
        json.dump({"runs": runs, "inproc": inproc, "product": product, "floor_exe": floor_exe}, f, indent=1)


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--run", required=True, help="build folder of the programs that run under Wine")
    parser.add_argument("--product", required=True, help="build folder of the shipped 32-bit program")
    parser.add_argument("--prefix", required=True, help="Wine prefix")
    parser.add_argument("--display", type=int, required=True)
    parser.add_argument("--runs", type=int, default=5, help="starts counted for CPU and memory")
    parser.add_argument("--launches", type=int, default=10, help="starts counted for the first paint")
    parser.add_argument("--window", type=float, default=12.0, help="seconds counted per pointer mode")
    parser.add_argument("--loader", default="/usr/lib/wine/wine64")
    parser.add_argument("--out", required=True, help="results file, without extension")
    args = parser.parse_args()
    args.display_name = f":{args.display}"
    args.run, args.product, args.prefix = (os.path.abspath(path) for path in (args.run, args.product, args.prefix))
    args.programs = {"baseline": os.path.join(args.run, "bench", "baseline.exe"),
                     "ticker": os.path.join(args.run, "bench", "ticker.exe"),
                     "direct": os.path.join(args.run, "bench", "direct.exe"),
                     "Peerkin": os.path.join(args.run, "startup", "Peerkin.exe")}
    args.inproc = os.path.join(args.run, "bench", "inproc_bench.exe")
    args.floor_exe = os.path.join(args.product, "bench", "baseline.exe")
    args.product = os.path.join(args.product, "startup", "Peerkin.exe")
    return args


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    main(parse_args())
