"""Reliability of the real program, under Wine or native: hostile settings files, faults
at the moment of storing, a crowd of simultaneous starts, awkward folders and
minutes of running with the pointer moving. It keeps working, loses nothing
and writes nothing but its own settings file. Prints its figures at the end,
with those of the in-process reliability program."""

import os
import random
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest
from contextlib import contextmanager

from peerkin_e2e import (EYES, FIGURE_SIZE, PUPIL_OFFSET, SECTION, TWIPS_PER_PIXEL, Figure, all_visible_windows,
                         end_processes_from, exe_path, figure_windows, file_state, is_black, is_red, is_windows_program,
                         memory_kb, move_mouse, program_file_name, run, run_folder, runs_natively, screen_size,
                         screenshot, settings_file, start_program, wait_until, write_settings)

COORDINATE_LIMIT = 32767  # the platform keeps window coordinates within 16 bits
STORED = "Top=1507\r\nLeft=3004\r\n"  # opens at (200, 100); a double-click stores 1500 and 3000
STORED_PLACE = (200, 100)
DRIVE_C = os.path.join(os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine")), "drive_c")
FIGURES = {"settings files tried": 0, "bytes of settings read": 0, "starts": 0, "faults injected": 0,
           "nothing-lost checks passed": 0}
LINES = []


def count(name, amount=1):
    FIGURES[name] = FIGURES.get(name, 0) + amount


def native_working_folder():
    """The folder native starts run in: empty, and this test run's own, so
    that a file written there instead of beside the program shows."""
    return run_folder("peerkin-reliability-cwd-")


def working_folder(exe):
    """Where a start of exe runs: the temporary folder for a Windows program,
    whose stray files Wine's drive C shows; native_working_folder for a native one."""
    return tempfile.gettempdir() if is_windows_program(exe) else native_working_folder()


class Program(Figure):
    """One start of the program copied to exe (a Linux path), started from
    there or by a Windows path of its own, found by its window even where
    the screen does not show it. Use as a context manager."""

    SETTLE = 0.6  # several ticks

    def __init__(self, exe, windows_path=None):
        super().__init__(exe, copy=False, windows_path=windows_path, shown=False, cwd=working_folder(exe))
        count("starts")
        self.visible_before = all_visible_windows()

    def other_new_windows(self):
        """Visible windows that appeared besides the figure: a message, say."""
        return all_visible_windows() - self.visible_before - {self.window_id}


def copy_program(folder, name="Peerkin.exe"):
    """Copies the program into folder under name; a native program's copy
    has no ".exe", and keeps its own name where name is the usual one."""
    if runs_natively():
        name = program_file_name(exe_path()) if name == "Peerkin.exe" else name.removesuffix(".exe")
    os.makedirs(folder, exist_ok=True)
    exe = os.path.join(folder, name)
    shutil.copy(exe_path(), exe)
    return exe


@contextmanager
def scratch_folder():
    """A new folder for the case's copies of the program; whatever still
    runs from it at the end is ended with it."""
    folder = tempfile.mkdtemp(prefix="peerkin-reliability-")
    try:
        yield folder
    finally:
        end_processes_from(folder)
        run("chattr", "-R", "-i", folder, check=False)
        shutil.rmtree(folder, ignore_errors=True)


# --- Where the figure belongs --------------------------------------------

def to_pixels(twips):
    """Where a position in twips puts the window: narrowed to single
    precision, rounded half to even, kept within the platform's limits."""
    single = struct.unpack("f", struct.pack("f", float(twips)))[0]
    pixels = round(single / TWIPS_PER_PIXEL)
    return max(-COORDINATE_LIMIT - 1, min(COORDINATE_LIMIT, pixels))


def load_place():
    """(x, y) the load handler gives the figure: centred across, its middle
    at 0.425 of the screen's height; each size rounded, then halved."""
    width, height = screen_size()
    top = round(height * TWIPS_PER_PIXEL * 0.85) // 2 - round(FIGURE_SIZE[1] * TWIPS_PER_PIXEL) // 2
    left = round(width * TWIPS_PER_PIXEL) // 2 - round(FIGURE_SIZE[0] * TWIPS_PER_PIXEL) // 2
    return to_pixels(left), to_pixels(top)


def settings(top, left):
    return f"{SECTION}\r\nTop={top}\r\nLeft={left}\r\n".encode("latin-1")


def hostile_files():
    """(what, bytes, expected (x, y)) for each hostile settings file."""
    load = load_place()
    default = (load[0], 0)
    stored = (to_pixels(3000), to_pixels(1500))
    sections = b"".join(b"[Section %d]\r\nTop=%d\r\nLeft=%d\r\n" % (n, n, n) for n in range(5000))
    return [
        ("64 KB of binary junk", random.Random(6).randbytes(65536), default),
        # One line: the section's header line, and no key after it.
        ("4 MB without a line break", SECTION.encode() + b"Top=1500 Left=3000 " * 220000, default),
        ("UTF-16 with a byte-order mark", ("\ufeff" + settings(1500, 3000).decode()).encode("utf-16-le"), stored),
        ("5,000 sections, its own last", sections + settings(1500, 3000), stored),
        ("its section twice: the first counts, without Left",
         b"[Orlo's Peerkin]\r\nTop=1500\r\n[ORLO'S PEERKIN]\r\nTop=3000\r\nLeft=3000\r\n", (0, stored[1])),
        ("its keys twice: the first counts", settings(1500, 3000) + b"top=3000\r\nLEFT=1500\r\n", stored),
        ("1e39 and -1e39: beyond single precision, the load place stays", settings("1e39", "-1e39"), load),
        ("1e308 and 3000", settings("1e308", 3000), (stored[0], load[1])),
        # Single precision holds them; a 32-bit pixel position does not.
        ("1e30 and -4e10: no 32-bit pixel", settings("1e30", "-4e10"), load),
        ("NaN and Infinity: no number, so 0", settings("NaN", "Infinity"), (0, 0)),
        ("&HFFFFFFFF and &O77777777777", settings("&HFFFFFFFF", "&O77777777777"),
         (to_pixels(0o77777777777), to_pixels(0xFFFFFFFF))),
        # Only the first 2047 characters are read: an overflow, and zeros.
        ("5,000-character values", settings("1" + "0" * 4999, "0" * 4996 + "3000"), (0, load[1])),
        # The tabs are skipped; the line feed ends the line, leaving Left=30.
        ("tabs and a line feed inside values", f"{SECTION}\r\nTop=1\t5\t0\t0\r\nLeft=30\n00\r\n".encode(),
         (to_pixels(30), to_pixels(1500))),
        ("-150 and -32212254720: the 32-bit end", settings(-150, -32212254720),
         (to_pixels(-32212254720), to_pixels(-150))),
    ]


def tree_state(folder):
    """Each file under folder with its size and modification time, each
    folder by name."""
    state = {}
    for root, folders, files in os.walk(folder):
        for name in folders:
            state[os.path.relpath(os.path.join(root, name), folder)] = "folder"
        for name in files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            state[os.path.relpath(path, folder)] = (info.st_size, info.st_mtime_ns)
    return state


def logical_lines(text):
    """The file as the profile services see it: no blank lines, no blanks
    around the equals sign or at either end."""
    lines = []
    for line in text.replace("\r\n", "\n").split("\n"):
        line = line.strip()
        if "=" in line and not line.startswith(";"):
            key, _, value = line.partition("=")
            line = f"{key.strip()}={value.strip()}"
        if line:
            lines.append(line)
    return lines


def eye_centre_colours(place):
    """The colour at each eye's centre on the screen, or None off it."""
    shot = screenshot()
    colours = []
    for eye_x, eye_y in EYES:
        x, y = place[0] + eye_x, place[1] + eye_y
        colours.append(shot.pixel(x, y) if 0 <= x < shot.width and 0 <= y < shot.height else None)
    return colours


class HostileSettings(unittest.TestCase):
    def test_each_file_starts_the_figure_where_it_belongs_and_stays_untouched(self):
        move_mouse(*[side - 1 for side in screen_size()])  # far from every eye
        for what, data, expected in hostile_files():
            with self.subTest(what), scratch_folder() as folder:
                exe = copy_program(folder)
                ini = settings_file(exe)
                write_settings(ini, data)
                before = file_state(ini)
                count("settings files tried")
                count("bytes of settings read", len(data))
                with Program(exe) as figure:
                    self.assertEqual(figure.place(), expected)
                    for colour in eye_centre_colours(expected):
                        self.assertTrue(colour is None or is_red(colour), f"no eye drawn: {colour}")
                    time.sleep(0.5)
                    self.assertTrue(figure.alive(), "the program ended")
                    self.assertEqual(figure.other_new_windows(), set(), "a window appeared (a message?)")
                self.assertEqual(file_state(ini), before, "the settings file changed")
                count("nothing-lost checks passed")


# --- Storing -------------------------------------------------------------

HAND_WRITTEN = ("; settings of the figure\r\n"
                "[Other Program]\r\nTop=99\r\nLeft=98\r\n\r\n"
                "[Orlo's Peerkin]\r\n; kept by hand\r\nColour = red\r\nTop=1507\r\nLeft=3004\r\nNote=stays\r\n\r\n"
                "[orlo's peerkin]\r\nTop=7\r\n"
                "[Last]\r\nkey = value with spaces \r\na line without a key\r\n")


@contextmanager
def read_only(path):
    """The path made read-only. Wine run as root writes through the
    read-only attribute (root ignores file modes), so for root the file
    system's immutable flag stands in for it."""
    mode = os.stat(path).st_mode
    os.chmod(path, mode & 0o555)
    immutable = os.geteuid() == 0
    try:
        if immutable and subprocess.run(["chattr", "+i", path], capture_output=True).returncode != 0:
            raise unittest.SkipTest("cannot make a path read-only for root here")
        yield
    finally:
        if immutable:
            run("chattr", "-i", path, check=False)
        os.chmod(path, mode)


@contextmanager
def held_open(path):
    """The file held open, unshared, by another Windows program."""
    if runs_natively():
        raise unittest.SkipTest("Windows share modes: on Linux a file open elsewhere stays writable")
    holder = start_program(file_helper(), "hold", windows_path(path), stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE, text=True)
    try:
        if holder.stdout.readline().strip() != "held":
            raise AssertionError("the helper could not hold the file")
        yield
    finally:
        holder.stdin.close()
        holder.wait(10)
        holder.stdout.close()


class Storing(unittest.TestCase):
    def test_double_click_writes_only_its_own_two_values(self):
        with scratch_folder() as folder:
            exe = copy_program(folder)
            ini = settings_file(exe)
            write_settings(ini, HAND_WRITTEN)
            with Program(exe) as figure:
                self.assertEqual(figure.place(), STORED_PLACE)
                self.assertTrue(figure.double_click(), "the program did not end")
            with open(ini, newline="") as file:
                stored = file.read()
        expected = [{"Top=1507": "Top=1500", "Left=3004": "Left=3000"}.get(line, line)
                    for line in logical_lines(HAND_WRITTEN)]
        self.assertEqual(logical_lines(stored), expected)
        count("nothing-lost checks passed")

    def test_double_click_ends_without_a_word_when_storing_fails(self):
        faults = [
            ("a read-only file", True, lambda ini, folder: read_only(ini)),
            ("a file held open by another program", True, lambda ini, folder: held_open(ini)),
            ("a folder that cannot be written", False, lambda ini, folder: read_only(folder)),
        ]
        for what, file_exists, fault in faults:
            with self.subTest(what), scratch_folder() as folder:
                exe = copy_program(folder)
                ini = settings_file(exe)
                if file_exists:
                    write_settings(ini, SECTION.encode() + b"\r\n" + STORED.encode())
                with Program(exe) as figure:
                    with fault(ini, folder):
                        before = tree_state(folder), file_state(ini)
                        count("faults injected")
                        self.assertTrue(figure.double_click(), "the program did not end")
                        self.assertEqual(figure.other_new_windows(), set(), "a window appeared (a message?)")
                        self.assertEqual((tree_state(folder), file_state(ini)), before)
                count("nothing-lost checks passed")


# --- Single instance -----------------------------------------------------

class SingleInstance(unittest.TestCase):
    def test_five_simultaneous_starts_give_one_window_and_a_hard_kill_frees_the_next(self):
        with scratch_folder() as folder:
            exe = copy_program(folder)
            before = figure_windows()
            visible_before = all_visible_windows()
            # Whatever still runs at the end is ended with the folder.
            starts = [start_program(exe, cwd=working_folder(exe)) for _ in range(5)]
            count("starts", 5)
            seen = set()

            def settled():
                seen.update(figure_windows() - before)
                return sum(start.poll() is not None for start in starts) >= 4 and seen

            self.assertTrue(wait_until(settled, 30), "the starts did not settle")
            time.sleep(1)
            running = [start for start in starts if start.poll() is None]
            self.assertEqual(len(running), 1)
            self.assertEqual(len(seen | (figure_windows() - before)), 1, "not exactly one window")
            self.assertLessEqual(len(all_visible_windows() - visible_before), 1)

            os.kill(running[0].pid, signal.SIGKILL)
            count("faults injected")
            running[0].wait()
            self.assertTrue(wait_until(lambda: not (figure_windows() - before), 10))
            with Program(exe) as again:
                self.assertTrue(again.alive())
        LINES.append("single instance: 5 simultaneous starts gave 1 window; after kill -9 the next start ran")


# --- Folders -------------------------------------------------------------

@contextmanager
def drive_letter(folder):
    """folder as the root of a free Wine drive; yields the letter."""
    devices = os.path.join(os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine")), "dosdevices")
    letter = next(letter for letter in "qrstuvwxy" if not os.path.lexists(os.path.join(devices, letter + ":")))
    link = os.path.join(devices, letter + ":")
    os.symlink(folder, link)
    try:
        yield letter.upper()
    finally:
        os.remove(link)


def file_helper():
    """The Windows program the test command names to hold files open and give short names."""
    helper = os.environ.get("PEERKIN_FILE_HELPER")
    if not helper or not os.path.isfile(helper):
        raise unittest.SkipTest("PEERKIN_FILE_HELPER does not name the helper")
    return helper


def short_form(windows_path):
    helper = start_program(file_helper(), "short", windows_path, stdout=subprocess.PIPE, text=True)
    return helper.communicate(timeout=30)[0].strip()


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def skip_if_native(reason):
    if runs_natively():
        raise unittest.SkipTest(reason)


@contextmanager
def at_drive_root(root):
    skip_if_native("Wine drive letters: a native program has no drives")
    exe = copy_program(root)
    with drive_letter(root) as letter:
        yield exe, f"{letter}:\\Peerkin.exe", os.path.join(root, "Peerkin.ini")


@contextmanager
def beyond_260_characters(root):
    folder = root
    while len(windows_path(folder)) <= 280:
        folder = os.path.join(folder, "a folder with a rather long name, nested")
    exe = copy_program(folder)
    yield exe, None, None  # the profile services take no path this long


@contextmanager
def in_folders_named(root, *names, program="Peerkin.exe"):
    """The program in nested folders of root with the given names (bytes or text)."""
    folder = os.path.join(os.fsencode(root), *[os.fsencode(name) for name in names])
    exe = copy_program(os.fsdecode(folder), program)
    yield exe, None, settings_file(exe)


def in_linux_folder(name):
    """A layout in a folder whose name only Linux takes: Windows allows no
    backslash in a name, and Wine shows bytes that are not UTF-8 as others."""
    def layout(root):
        if not runs_natively():
            raise unittest.SkipTest("a folder name that only Linux takes")
        return in_folders_named(root, name)
    return layout


@contextmanager
def by_short_name(root):
    skip_if_native("8.3 names are Windows only")
    folder = os.path.join(root, "Long Folder Name For The Figure")
    exe = copy_program(folder, "PeerkinWithALongName.exe")
    short = short_form(windows_path(exe))
    if "~" not in short:
        raise unittest.SkipTest(f"no short name here: {short}")
    yield exe, short, os.path.join(folder, "PeerkinWithALongName.ini")


def elsewhere_folder():
    """Where a settings file that missed its place would land: Wine's drive C,
    or a native program's working folder."""
    return native_working_folder() if runs_natively() else DRIVE_C


class Folders(unittest.TestCase):
    def test_settings_file_lands_beside_the_program_or_nowhere(self):
        cases = [("at a drive root", at_drive_root),
                 ("in folders with spaces and dots", lambda root: in_folders_named(
                     root, "My Toys. v1.2", "..and more", program="Orlo's Peer.kin 1.0.exe")),
                 ("in a folder beyond 260 characters", beyond_260_characters), ("by its 8.3 name", by_short_name),
                 ("in folders with names beyond ASCII", lambda root: in_folders_named(root, "Spielzeug für", "Orlo €")),
                 ("in a folder with a backslash in its name", in_linux_folder(b"Toys\\Orlo")),
                 ("in a folder whose name is not UTF-8", in_linux_folder(b"Spielzeug f\xfcr"))]
        for what, layout in cases:
            with self.subTest(what), scratch_folder() as root, layout(root) as (exe, command, ini):
                beside = ini or os.path.splitext(exe)[0] + ".ini"
                write_settings(beside, SECTION.encode() + b"\r\n" + STORED.encode())
                elsewhere = tree_state(root), tree_state(elsewhere_folder())
                with Program(exe, command) as figure:
                    self.assertEqual(figure.place(), STORED_PLACE if ini else (load_place()[0], 0))
                    self.assertTrue(figure.double_click(), "the program did not end")
                    self.assertEqual(figure.other_new_windows(), set())
                with open(beside, newline="") as file:
                    written = logical_lines(file.read())
                after = tree_state(root), tree_state(elsewhere_folder())
                self.assertEqual(written, [SECTION, "Top=1500", "Left=3000"] if ini else
                                 [SECTION, "Top=1507", "Left=3004"])
                changed = {path for tree in (0, 1) for path in set(elsewhere[tree]) | set(after[tree])
                           if elsewhere[tree].get(path) != after[tree].get(path)}
                self.assertEqual(changed, {os.path.relpath(ini, root)} if ini else set(), "written elsewhere")
                count("nothing-lost checks passed")
                LINES.append(f"folder {what}: settings file " +
                             (f"{os.path.basename(ini)} in its place" if ini else "none (runs without)"))


# --- A run of minutes ----------------------------------------------------

def is_address_sanitized(exe):
    """True when the program was built with AddressSanitizer."""
    with open(exe, "rb") as program:
        return b"__asan_init" in program.read()


class LongRun(unittest.TestCase):
    SECONDS = int(os.environ.get("PEERKIN_LONG_RUN_SECONDS", "180"))
    WARM_UP = 10
    ALLOWED_GROWTH_KB = 1024  # a leak of an object per tick would pass it within a minute

    def test_minutes_with_the_pointer_moving_keep_memory_flat(self):
        width, height = screen_size()
        with scratch_folder() as folder, Program(copy_program(folder)) as figure:
            x, y = figure.place()
            moves, started, samples = 0, time.monotonic(), []
            while time.monotonic() - started < self.WARM_UP + self.SECONDS:
                # Around and across the figure, then anywhere on the screen.
                move_mouse((x + moves * 37) % width, (y + moves * 53) % height)
                moves += 1
                elapsed = time.monotonic() - started
                if elapsed >= self.WARM_UP and len(samples) <= (elapsed - self.WARM_UP) // 30:
                    samples.append(memory_kb(figure.process.pid, "VmRSS", "RssAnon"))
                time.sleep(0.05)
            samples.append(memory_kb(figure.process.pid, "VmRSS", "RssAnon"))
            self.assertTrue(figure.alive(), "the program ended")
            move_mouse(x + EYES[0][0], y + EYES[0][1] + 300)  # below the left eye
            time.sleep(0.3)
            pupil = screenshot().pixel(x + EYES[0][0], y + EYES[0][1] + PUPIL_OFFSET)
        first, last = samples[0], samples[-1]
        LINES.append(f"long run of the program: {self.SECONDS} s, about {self.SECONDS * 1000 // 70} ticks, "
                     f"{moves} pointer moves")
        LINES.append(f"  resident memory at start {first[0]} KB (anonymous {first[1]} KB), "
                     f"at end {last[0]} KB (anonymous {last[1]} KB), highest anonymous "
                     f"{max(sample[1] for sample in samples)} KB")
        self.assertTrue(is_black(pupil), f"the eyes stopped following: {pupil}")
        if is_address_sanitized(exe_path()):
            self.skipTest("an AddressSanitizer build keeps freed memory in quarantine: its leak check stands in")
        self.assertLessEqual(last[1] - first[1], self.ALLOWED_GROWTH_KB)


def setUpModule():
    exe_path()  # skips the whole module when there is no program to run


def figures_of_the_suite():
    """The whole reliability suite's figures: the in-process program's, then these."""
    lines = []
    in_process = os.environ.get("PEERKIN_RELIABILITY_FIGURES")
    if in_process and os.path.isfile(in_process):
        with open(in_process) as figures:
            lines += [line.rstrip() for line in figures]
    return lines + [f"{name}: {value}" for name, value in FIGURES.items()] + LINES


def tearDownModule():
    lines = figures_of_the_suite()
    print("\n== Reliability figures")
    for line in lines:
        print("   " + line)
    # Kept for the test command to print: a test runner hides a passing test's output.
    report = os.environ.get("PEERKIN_RELIABILITY_REPORT")
    if report:
        with open(report, "w") as file:
            file.writelines(line + "\n" for line in lines)


if __name__ == "__main__":
    unittest.main()
