#!/usr/bin/env bash
# Builds the native X11 program (Release, no sanitizers) and its floor,
# measures both on one private X server and prints a
# table of CPU per 60 s, pointer still and moving, and resident memory.
# About five minutes.
#
#   bash bench/native/run.sh                 # measure and print
#   bash bench/native/run.sh --update-doc    # also put the table into docs/performance.md
#
# Optional settings: BENCH_RUNS (starts of each program counted, 5),
# BENCH_WINDOW (seconds counted per pointer mode, 12), BENCH_DISPLAY (X
# display number; default the first free from 161), BENCH_BUILD (build
# folder, build/bench-native).
set -euo pipefail
source "$(dirname "$0")/../../tools/common.sh"

update_doc=false
[[ ${1:-} == --update-doc ]] && update_doc=true

# The build, the X server and the pointer.
install_missing cmake g++ libx11-dev libxext-dev libxrandr-dev libpng-dev python3 xvfb xdotool x11-xserver-utils

build=${BENCH_BUILD:-$PEERKIN_BUILD/bench-native}
echo "== Building the native program in $build"
cmake -S "$PEERKIN_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPEERKIN_SANITIZE=OFF -DPEERKIN_TESTS=OFF \
  -DPEERKIN_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target peerkin native_floor >/dev/null

display=${BENCH_DISPLAY:-$(free_display_number 161 170)}

echo "== Measuring"
python3 "$PEERKIN_ROOT/bench/native/compare.py" --program "$build/startup/peerkin" \
  --comparison "$build/bench/native_floor" --display "$display" \
  --runs "${BENCH_RUNS:-5}" --window "${BENCH_WINDOW:-12}" --out "$build/results"

if $update_doc; then
  python3 "$PEERKIN_ROOT/bench/native/update_doc.py" "$build/results.md" "$PEERKIN_ROOT/docs/performance.md"
fi
