"""Commands for shell scripts, so that they start, find and look at the
figure, pick displays and run Windows programs as the Python scripts do:

  python3 -m pydesktop show-figure PROGRAM [TOP LEFT]
      starts a private copy of the program (under Wine for a Windows one) on
      this display, its settings file holding TOP and LEFT in twips if
      given; prints "window x y width height pid" once its window shows,
      then, once the program ends, its settings file's text; ending this
      command ends the program. Exits 1 if the window does not show.
  python3 -m pydesktop between-the-eyes
      prints "x y", the point midway between the eye centres in the window.
  python3 -m pydesktop free-display [FIRST LAST]
      prints the first display number from FIRST to LAST (default: those
      PEERKIN_DISPLAYS names, else 91 to 140) that no X server holds.
  python3 -m pydesktop xvfb-arguments NUMBER
      prints the arguments of Xvfb for a private X server on the display.
  python3 -m pydesktop pe-machine FILE
      prints a Windows program's machine type in four hex digits (014c for
      32-bit x86, 8664 for x86-64), nothing for any other file.
  python3 -m pydesktop wine-loader PROGRAM
      prints the Wine loader that fits the Windows program's bitness.
  python3 -m pydesktop prepare-wine
      makes the Wine prefix WINEPREFIX names, once, and keeps its
      wineserver and services up.
"""

import os
import sys

from . import display, figure, program, wine


def show_figure(exe, top=None, left=None):
    settings = None if top is None else f"[Orlo's Peerkin]\r\nTop={top}\r\nLeft={left}\r\n"
    try:
        shown = program.Figure(os.path.abspath(exe), ini_text=settings).__enter__()
    except AssertionError as failure:
        print(failure, file=sys.stderr)
        return 1
    try:
        print(shown.window_id, *shown.geometry(), shown.process.pid, flush=True)
        shown.process.wait()
        print(shown.stored() or "", end="", flush=True)
    finally:
        shown.__exit__()
    return 0


def between_the_eyes():
    print(*figure.between_the_eyes())
    return 0


def free_display(*numbers):
    try:
        print(display.free_display(*(map(int, numbers) if numbers else display.display_range())))
    except RuntimeError as error:
        print(error, file=sys.stderr)
        return 1
    return 0


def xvfb_arguments(number):
    print(*display.xvfb_arguments(int(number)))
    return 0


def pe_machine(path):
    machine = wine.pe_machine(path) if os.path.isfile(path) else None
    if machine is not None:
        print(f"{machine:04x}")
    return 0


def wine_loader(path):
    print(wine.loader_for(path))
    return 0


def prepare_wine():
    wine.prepare_prefix(os.environ)
    return 0


COMMANDS = {"show-figure": show_figure, "between-the-eyes": between_the_eyes, "free-display": free_display,
            "xvfb-arguments": xvfb_arguments, "pe-machine": pe_machine, "wine-loader": wine_loader,
            "prepare-wine": prepare_wine}


def main(arguments):
    if not arguments or arguments[0] not in COMMANDS:
        print(__doc__, file=sys.stderr)
        return 2
    return COMMANDS[arguments[0]](*arguments[1:])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
