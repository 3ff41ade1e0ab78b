"""What the project's Python scripts share for driving the figure on an X
display, for the end-to-end tests and the benchmarks alike:

- figure: the window's caption and size, and where its eyes are;
- display: private X servers, finding windows, screenshots;
- xlib: a direct libX11 connection, for what must be quick or exact;
- wine: recognising Windows programs and running them under Wine;
- processes: CPU time and memory of processes, and ending strays.

Standard library only. Scripts outside tools/ put tools/ on sys.path first;
shell scripts reach the few commands of __main__.py through common.sh."""
