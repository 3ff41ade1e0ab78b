#!/usr/bin/env bash
# Measures the native program (Release, no sanitizers) on headless GNOME
# Shell and KWin Wayland sessions beside a private Xvfb: its own CPU per
# 60 s with the pointer still and moving, and the reports the desktop's
# helper sends. About five minutes.
#
#   bash bench/native/wayland.sh
#
# Optional settings: BENCH_RUNS (starts per session, 3), BENCH_WINDOW
# (seconds per pointer mode, 10), BENCH_DISPLAY (Xvfb display number;
# default the first free from 161 to 250), BENCH_BUILD (build folder,
# build/bench-wayland).
set -euo pipefail
source "$(dirname "$0")/../../tools/common.sh"

bash "$PEERKIN_ROOT/tools/setup-machine.sh"
build=${BENCH_BUILD:-$PEERKIN_BUILD/bench-wayland}
echo "== Building the native program and the KWin test pointer in $build"
cmake -S "$PEERKIN_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPEERKIN_SANITIZE=OFF -DPEERKIN_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target peerkin kwin_pointer >/dev/null

echo "== Measuring"
PEERKIN_KWIN_POINTER=$build/tests/e2e/wayland/kwin_pointer python3 "$PEERKIN_ROOT/bench/native/wayland.py" \
  --program "$build/startup/peerkin" --share "$build/share" \
  --display "${BENCH_DISPLAY:-$(free_display_number 161 250)}" \
  --runs "${BENCH_RUNS:-3}" --window "${BENCH_WINDOW:-10}"
