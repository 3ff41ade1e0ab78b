#!/usr/bin/env bash
# Shows what the native program gets on a Wayland desktop, where it runs as an
# X11 program through XWayland: runs it under weston (Debian's Wayland
# compositor, with its own X window manager for XWayland) nested in a private
# virtual display, so that the pointer can be driven from outside, and prints
# what it finds: whether the window shows and keeps its shape, stays on top,
# can be dragged, and what the program is told of the pointer.
#
#   bash tools/try-wayland.sh [OUTPUT_FOLDER]
#
# Screenshots of each step go to OUTPUT_FOLDER (default build/wayland).
# weston chooses XWayland's display number itself: the lowest free one.
set -euo pipefail
source "$(dirname "$0")/common.sh"

output=$(realpath -m "${1:-$PEERKIN_BUILD/wayland}")
OUTPUT_SIZE=(800 600) # weston's screen, inside the 1024 x 768 virtual display
PAUSE=0.5             # seconds for a step to reach the program: several 70 ms ticks

start_weston() {
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  weston --backend=x11-backend.so --use-pixman --width="${OUTPUT_SIZE[0]}" --height="${OUTPUT_SIZE[1]}" \
    --socket=peerkin-try --xwayland --no-config --idle-time=0 --log="$work/weston.log" >/dev/null 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do
    # The log appears a moment after weston starts.
    xwayland=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" 2>/dev/null || true)
    [[ -n $xwayland ]] && return 0
    sleep 0.1
  done
  echo "weston did not start XWayland; its log: $work/weston.log" >&2
  return 1
}

on_xwayland() {
  DISPLAY=$xwayland "$@"
}

# The pointer at a place on weston's screen. It first leaves weston's window,
# so that weston takes the place from the pointer entering its window.
point_at() {
  xdotool mousemove 1020 760
  sleep 0.1
  xdotool mousemove "$1" "$2"
  sleep "$PAUSE"
}

# What the X server tells its clients of the pointer: "x y".
x11_pointer() {
  on_xwayland xdotool getmouselocation --shell | awk -F= '$1 == "X" { x = $2 } $1 == "Y" { y = $2 } END { print x, y }'
}

screenshot() {
  import -window root -crop "${OUTPUT_SIZE[0]}x${OUTPUT_SIZE[1]}+0+0" +repage "$output/$1"
}

pixel() {
  convert "$output/$1" -format "%[pixel:p{$2,$3}]" info:
}

# The figure from a private copy on XWayland; its settings file's text
# follows in figure.txt once it ends.
start_figure() {
  DISPLAY=$xwayland show_figure "$work/figure.txt" "$PEERKIN_ROOT/dist/peerkin"
  read -r figure _ _ _ _ figure_pid <"$work/figure.txt"
}

# "x y" of the figure's window on the X screen.
figure_place() {
  on_xwayland xwininfo -id "$figure" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    END { print x, y }'
}

report_start() {
  local manager state
  manager=$(on_xwayland xprop -root _NET_SUPPORTING_WM_CHECK | awk '{ print $NF }')
  echo "XWayland display: $xwayland; the X window manager: $(on_xwayland xprop -id "$manager" _NET_WM_NAME | cut -d= -f2)"
  echo "  it offers: $(on_xwayland xprop -root _NET_SUPPORTED | cut -d= -f2)"
  echo "Started: window $figure at $(figure_place),$(on_xwayland xwininfo -id "$figure" | grep -o ' IsViewable')"
  state=$(on_xwayland xprop -id "$figure" _NET_WM_STATE | cut -d= -f2 | xargs)
  echo "  its _NET_WM_STATE after asking for _NET_WM_STATE_ABOVE: ${state:-none}"
  echo "  its X shape: $(on_xwayland xwininfo -id "$figure" -shape | awk '/Window shape extents/ { print $NF }')"
}

# A corner of the window lies outside the face: where the shape is honoured
# it shows the desktop as it was before the figure came.
report_shape() {
  local x y before after verdict
  read -r x y < <(figure_place)
  before=$(pixel desktop.png $((x + 3)) $((y + 3)))
  after=$(pixel figure.png $((x + 3)) $((y + 3)))
  if [[ $before == "$after" ]]; then verdict="cut to the face"; else verdict="drawn as a rectangle"; fi
  echo "On screen: $verdict (a corner outside the face: $before before, $after with the figure)"
}

# A window opened after the figure, nearly as large as the screen, so that it
# covers the face's middle wherever weston puts it: does it come over the face?
report_stacking() {
  local x y middle verdict
  DISPLAY=$xwayland xmessage -geometry $((OUTPUT_SIZE[0] - 40))x$((OUTPUT_SIZE[1] - 80)) -bg blue "another window" \
    >/dev/null 2>&1 &
  other_pid=$!
  sleep 1.5
  screenshot covered.png
  read -r x y < <(figure_place)
  middle=$(pixel covered.png $((x + 96)) $((y + 140)))
  if [[ $middle == "srgb(0,0,255)" ]]; then verdict="comes over the face"; else verdict="stays behind it"; fi
  echo "A window opened later $verdict (the face's middle shows $middle; the window is blue)"
  kill "$other_pid"
  other_pid=
  sleep "$PAUSE"
}

# A drag with the left button, watched by an X client that listens for the
# window's configure events, as the program does to know its place.
report_drag() {
  local x y start_x start_y listener
  read -r x y < <(figure_place)
  on_xwayland timeout 6 stdbuf -oL xev -id "$figure" -event structure >"$work/xev.log" 2>&1 &
  listener=$!
  sleep 0.5
  start_x=$((x + 96)) start_y=$((y + 230))
  point_at "$start_x" "$start_y"
  xdotool mousedown 1
  for step in $(seq 15); do
    xdotool mousemove $((start_x + step * 10)) $((start_y + step * 4))
    sleep 0.05
  done
  sleep "$PAUSE"
  echo "During the drag the pointer is at $((start_x + 150)) $((start_y + 60)); X says $(x11_pointer)"
  xdotool mouseup 1
  sleep "$PAUSE"
  echo "Dragged by 150 60: the window went from $x $y to $(figure_place)"
  wait_for_exit "$listener" 60 || true
  echo "  configure events that reached the window: $(grep -c ConfigureNotify "$work/xev.log" || true)"
  screenshot dragged.png
}

report_pointer() {
  local x y
  read -r x y < <(figure_place)
  point_at $((x + 96)) $((y + 200))
  echo "Pointer over the face at $((x + 96)) $((y + 200)): X says $(x11_pointer)"
  # Down at the left, away from where the face has been.
  point_at 60 $((OUTPUT_SIZE[1] - 60))
  echo "Pointer over the desktop at 60 $((OUTPUT_SIZE[1] - 60)): X says $(x11_pointer)"
  screenshot pointer-away.png
}

report_double_click() {
  local x y
  read -r x y < <(figure_place)
  echo "Double-click on the window at $x $y (X pixels; 15 twips each at 96 dots per inch)"
  point_at $((x + 96)) $((y + 200))
  xdotool click --repeat 2 --delay 80 1
  if wait_for_exit "$figure_pid" 30 && wait_for_exit "$PEERKIN_FIGURE_SHOWER" 30; then
    figure_pid=
    echo "  it ended the program; peerkin.ini holds: $(tail -n +2 "$work/figure.txt" | tr -d '\r' | paste -sd' ')"
  else
    echo "  it did not end the program"
  fi
}

# wait_for_exit PID TENTHS: true when the process ended within that time.
wait_for_exit() {
  for _ in $(seq "$2"); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

stop_all() {
  local pid
  for pid in ${other_pid:-} ${PEERKIN_FIGURE_SHOWER:-} ${weston_pid:-}; do
    kill "$pid" 2>/dev/null || true
    wait_for_exit "$pid" 30 || kill -9 "$pid" 2>/dev/null || true
  done
  stop_private_display
  rm -rf "$work"
}

main() {
  bash "$PEERKIN_ROOT/tools/setup-machine.sh" weston xwayland
  build_linux >/dev/null
  mkdir -p "$output"
  start_private_display
  work=$(mktemp -d "${TMPDIR:-/tmp}/peerkin-wayland.XXXXXX")
  trap stop_all EXIT
  start_weston
  echo "weston $(weston --version | awk '{ print $2 }'), Xwayland $(dpkg-query -W -f='${Version}' xwayland)"
  sleep 1
  screenshot desktop.png
  start_figure
  sleep 1
  screenshot figure.png
  report_start
  report_shape
  report_stacking
  report_drag
  report_pointer
  report_double_click
  echo "Screenshots: $output"
}

main
