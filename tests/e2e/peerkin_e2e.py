"""What the end-to-end tests take from the harness in tools/pydesktop, with
tools/ put on the path first: the program started and found
(pydesktop.program), the pointer (pydesktop.gestures), the screen
(pydesktop.display) and the figure's facts (pydesktop.figure)."""

import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
sys.dont_write_bytecode = True  # keep the source tree free of caches

from pydesktop import wine  # noqa: E402,F401
from pydesktop.display import (Screenshot as screenshot, figure_windows, run, screen_size,  # noqa: E402,F401
                               visible_windows, wait_until)
from pydesktop.figure import (EYES, PUPIL_OFFSET, SIZE as FIGURE_SIZE, between_the_eyes,  # noqa: E402,F401
                              expected_pupil, is_black, is_red)
from pydesktop.gestures import TICKS, click, double_click, drag, drag_from, grab, move_mouse, release  # noqa: E402,F401
from pydesktop.processes import end_processes_from, memory_kb  # noqa: E402,F401
from pydesktop.program import (Figure, exe_path, native_environment, program_file_name,  # noqa: E402,F401
                               run_folder, runs_natively, settings_file, start_program, write_settings)
from pydesktop.wine import is_windows_program  # noqa: E402,F401

TWIPS_PER_PIXEL = 15
SECTION = "[Orlo's Peerkin]"


def all_visible_windows():
    return set(visible_windows(""))


def file_state(path):
    """The file's bytes and modification time, or None when it is missing."""
    if not os.path.exists(path):
        return None
    with open(path, "rb") as file:
        return file.read(), os.stat(path).st_mtime_ns
