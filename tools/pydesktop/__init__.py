"""The end-to-end harness the project's Python scripts share, for the tests,
the benchmarks and (through __main__.py) the shell scripts alike:

- program: the one way to start the program (native, under Wine, installed,
  on a desktop's Xwayland) and find its window;
- sessions: window managers and headless Wayland desktops, one session type;
- gestures: what a hand does with the pointer;
- figure: the window's caption and size, where its eyes are, the pupil reader;
- display: private X servers, finding windows, screenshots;
- xlib: a direct libX11 connection, for what must be quick or exact;
- wine: recognising Windows programs, running them under Wine, prefixes;
- processes: CPU time and memory of processes, and ending strays.

Standard library only. Scripts outside tools/ put tools/ on sys.path first;
shell scripts reach the commands of __main__.py through common.sh."""
