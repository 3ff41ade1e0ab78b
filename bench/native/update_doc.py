"""Puts the native build's latest results into docs/performance.md, between
the two markers of its "Native Linux build" section; adds the section at the
end of the document the first time."""

import sys

BEGIN = "<!-- native results: written by bench/native/run.sh --update-doc -->"
END = "<!-- end of native results -->"

SECTION = f"""## Native Linux build

The native X11 program, `peerkin` (`startup/PosixMain.cpp` over
`runtime/x11/`), measured beside its floor, `bench/native/floor.cpp`: a bare
Xlib program with the figure's window at the figure's default place and its
70 ms tick, which reads the pointer, draws the two red discs and two black
pupils with the X server's own arcs into a back-buffer pixmap and copies the
eyes' box to the window on every tick. The comparison is a figure, not a
goal. The program is measured a second time on a screen scaled to 200%
(`Xft.dpi` 192, set with `xrdb` before each such start), where its window
is 386 x 558 pixels and every pixel it draws is four; that start has a
settings file of its own that puts it at the screen's top-left corner, so
that its larger window stays clear of the pointer's square.

```sh
bash bench/native/run.sh                 # build, measure, print the table (about five minutes)
bash bench/native/run.sh --update-doc    # the same, and put the table below into this file
```

`BENCH_RUNS` (5), `BENCH_WINDOW` (12 seconds), `BENCH_DISPLAY` (an X display
number, default the first free one from 161) and `BENCH_BUILD` (the build
folder, `build/bench-native`) change how it runs. CI does not run it.

- **The build**: Release, without sanitizers.
- **One private X server** (`Xvfb -noreset`, 1024 x 768 x 24) for the whole
  run, without a window manager. A warm-up start of each program comes
  first and is not counted. The figure starts from a fresh folder without a
  settings file, so at its default place (top middle of the screen), with an
  instance-lock folder of its own.
- **CPU per 60 s**: the CPU time of the program's process and of the Xvfb,
  read as `bench/measure.py` reads it (`/proc/PID/task/*/schedstat`, with
  utime + stime of `/proc/PID/stat` kept beside it in the details), over a
  12 s window with the pointer still and then a 12 s window with it moving,
  2 s after the window shows, scaled to 60 s; the median of 5 starts of
  each program, the programs taking turns and swapping the order each run.
- **Pointer still**: parked at (512, 500), 221 pixels below the figure.
  **Pointer moving**: one xdotool process walking it round a 100-pixel
  square there with `mousemove_relative`, about 20 moves a second, as for
  the Windows figures. It never crosses either window.
- **Start to the window**: from starting the process to its window being
  viewable, as `xdotool search --onlyvisible` sees it, polled every 5 ms.
- **Resident memory**: `VmRSS` of the program's process at the end of each
  start's two windows.

### Latest native results

{BEGIN}
{END}
"""


def with_section(text):
    """The document, with the section added at its end unless it is there."""
    if BEGIN in text and END in text:
        return text
    return text.rstrip("\n") + "\n\n" + SECTION


results, doc = sys.argv[1], sys.argv[2]
with open(results) as f:
    table = f.read().strip()
with open(doc) as f:
    text = with_section(f.read())
head, _, rest = text.partition(BEGIN)
_, _, tail = rest.partition(END)
with open(doc, "w") as f:
    f.write(f"{head}{BEGIN}\n{table}\n{END}{tail}")
print(f"updated {doc}")
