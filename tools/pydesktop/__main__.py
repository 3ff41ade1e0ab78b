"""Commands for shell scripts, so that they find and look at the figure as
the Python scripts do:

  python3 -m pydesktop figure-window [SECONDS]
      waits for the figure's window to show (default 60 s) and prints
      "id x y width height"; exits 1 if it does not show.
  python3 -m pydesktop between-the-eyes
      prints "x y", the point midway between the eye centres in the window.
"""

import sys

from . import display, figure


def figure_window(seconds=60.0):
    found = display.wait_until(display.visible_windows, float(seconds))
    if not found:
        print("the figure's window did not appear", file=sys.stderr)
        return 1
    print(found[0], *display.window_geometry(found[0]))
    return 0


def between_the_eyes():
    print(*figure.between_the_eyes())
    return 0


COMMANDS = {"figure-window": figure_window, "between-the-eyes": between_the_eyes}


def main(arguments):
    if not arguments or arguments[0] not in COMMANDS:
        print(__doc__, file=sys.stderr)
        return 2
    return COMMANDS[arguments[0]](*arguments[1:])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
