#!/usr/bin/env bash
# Shows the figure at work where there is no screen to watch: runs it on a
# private virtual display, walks the pointer once around it and keeps a
# screenshot and a short animation of the eyes following the pointer.
#
#   bash tools/demo.sh PROGRAM [OUTPUT_FOLDER]
#
# PROGRAM is a built Peerkin.exe (run under Wine) or the native peerkin;
# OUTPUT_FOLDER defaults to build/demo. The
# pictures are figure.png and demo.gif, cut to the figure and a margin.
set -euo pipefail
source "$(dirname "$0")/common.sh"

[[ $# -ge 1 && -f $1 ]] || { echo "usage: $0 PROGRAM [OUTPUT_FOLDER]" >&2; exit 2; }
program=$(realpath "$1")
output=$(realpath -m "${2:-$PEERKIN_BUILD/demo}")

MARGIN=80          # pixels around the figure in the pictures
PATH_POINTS=20     # pointer places on the way round
PAUSE=0.2          # seconds per place: a few 70 ms ticks, and the GIF's pace

# A backdrop like a desktop's, so that the figure's outline shows.
paint_backdrop() {
  local picture=$1/backdrop.png size
  size=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
  convert -size "$size" gradient:'#6d8fb3-#34506e' "$picture"
  # display exits non-zero after setting a root background; the capture shows
  # whether it worked.
  display -window root "$picture" 2>/dev/null || true
}

# The pointer's places: an ellipse round the figure through the corners of
# its window, then a visit below the eyes and one between them, where they
# cross.
pointer_path() {
  local x=$1 y=$2 width=$3 height=$4 middle_x middle_y
  read -r middle_x middle_y < <(pydesktop between-the-eyes)
  awk -v x="$x" -v y="$y" -v w="$width" -v h="$height" -v n="$PATH_POINTS" \
    -v mx="$middle_x" -v my="$middle_y" 'BEGIN {
    cx = x + w / 2; cy = y + h / 2; rx = w / sqrt(2); ry = h / sqrt(2); pi = atan2(0, -1)
    for (i = 0; i < n; i++) {
      angle = pi * (1.25 + 2 * i / n)
      printf "%d %d\n", cx + rx * cos(angle), cy + ry * sin(angle)
    }
    printf "%d %d\n%d %d\n", x + mx, y + my + 32, x + mx, y + my
  }'
}

# The area of the screen round the figure, with the pointer drawn in: an X
# screen capture leaves the pointer out. Without time stamps, the same run
# gives the same files.
capture() {
  local picture=$1 crop=$2 left=$3 top=$4 pointer_x=$5 pointer_y=$6
  local px=$((pointer_x - left)) py=$((pointer_y - top))
  import -window root -depth 8 miff:- |
    convert - -crop "$crop" +repage -fill white -stroke black -strokewidth 1 \
      -draw "polygon $px,$py $px,$((py + 17)) $((px + 4)),$((py + 13)) $((px + 7)),$((py + 20)) \
$((px + 10)),$((py + 19)) $((px + 7)),$((py + 12)) $((px + 12)),$((py + 12))" \
      -strip -define png:exclude-chunks=date,time "$picture"
}

main() {
  start_private_display
  is_windows_program "$program" && prepare_wine
  work=$(mktemp -d "${TMPDIR:-/tmp}/peerkin-demo.XXXXXX")
  trap 'kill "${PEERKIN_FIGURE_SHOWER:-}" 2>/dev/null; stop_private_display; rm -rf "$work"' EXIT
  mkdir -p "$output" "$work/frames"

  paint_backdrop "$work"
  # A private copy, so that no settings file of the user's is read or
  # written; its own file puts it away from the screen's edge.
  show_figure "$work/figure.txt" "$program" 1800 1800
  local x y width height
  read -r _ x y width height _ <"$work/figure.txt"
  local left=$((x > MARGIN ? x - MARGIN : 0)) top=$((y > MARGIN ? y - MARGIN : 0))
  local crop=$((width + 2 * MARGIN))x$((height + 2 * MARGIN))+$left+$top

  local frame=0 pointer_x pointer_y
  while read -r pointer_x pointer_y; do
    xdotool mousemove "$pointer_x" "$pointer_y"
    sleep "$PAUSE"
    capture "$(printf '%s/frames/%03d.png' "$work" "$frame")" "$crop" "$left" "$top" "$pointer_x" "$pointer_y"
    frame=$((frame + 1))
  done < <(pointer_path "$x" "$y" "$width" "$height")

  # The still: eyes turned down and to the right, toward the pointer.
  pointer_x=$((x + width + 30)) pointer_y=$((y + height - 40))
  xdotool mousemove "$pointer_x" "$pointer_y"
  sleep "$PAUSE"
  capture "$output/figure.png" "$crop" "$left" "$top" "$pointer_x" "$pointer_y"

  # One palette for every frame keeps the still parts still, so the
  # optimised frames hold little more than the eyes and the pointer.
  convert -delay "$(awk -v s="$PAUSE" 'BEGIN { print s * 100 }')" -loop 0 "$work"/frames/*.png \
    +dither +remap -layers Optimize "$output/demo.gif"

  echo "Screenshot: $output/figure.png"
  echo "Animation ($frame frames): $output/demo.gif"
}

main
