#!/usr/bin/env bash
# Builds the program and the floor programs with the same settings, measures
# them under Wine on a private X server and prints a table of every figure
# with its floor and the ratio between them. About ten minutes.
#
#   bash bench/run.sh                 # measure and print
#   bash bench/run.sh --update-doc    # also put the table into docs/performance.md
#
# Optional settings: BENCH_RUNS (starts counted for CPU and memory, 5),
# BENCH_LAUNCHES (starts counted for the first paint, 10), BENCH_WINDOW
# (seconds counted per pointer mode, 12), BENCH_DISPLAY (X display number;
# default the first free from 91), BENCH_WINEPREFIX, BENCH_BUILD (folder for
# the two builds).
set -euo pipefail
source "$(dirname "$0")/../tools/common.sh"

update_doc=false
[[ ${1:-} == --update-doc ]] && update_doc=true

bash "$PEERKIN_ROOT/tools/setup-machine.sh"

build_root=${BENCH_BUILD:-$PEERKIN_BUILD/bench}
prefix=${BENCH_WINEPREFIX:-$PEERKIN_BUILD/bench-wineprefix}

# build ARCH TOOLCHAIN: the program, the floors and the in-process bench.
build() {
  local arch=$1 toolchain=$2
  echo "== Building the $arch program and floors"
  cmake -S "$PEERKIN_ROOT" -B "$build_root/$arch" -DCMAKE_BUILD_TYPE=Release -DPEERKIN_TESTS=OFF \
    -DPEERKIN_BENCH=ON -DCMAKE_TOOLCHAIN_FILE="$PEERKIN_ROOT/cmake/$toolchain.cmake" >/dev/null
  cmake --build "$build_root/$arch" -j"$(nproc)" --target Peerkin baseline ticker direct inproc_bench >/dev/null
}

# The shipped program is the 32-bit one: its size and imports are measured
# on it. It runs only where 32-bit Wine runs; elsewhere the 64-bit twin of
# the same sources runs, against floors built by the same 64-bit compiler.
build win32 mingw-w64-i686
arch=$(windows_test_arch)
[[ $arch == win64 ]] && build win64 mingw-w64-x86_64
display=${BENCH_DISPLAY:-$(free_display_number 91 140)}

echo "== Measuring the $arch program under Wine on display :$display"
python3 "$PEERKIN_ROOT/bench/measure.py" --run "$build_root/$arch" --product "$build_root/win32" \
  --loader "$(wine_loader)" --prefix "$prefix" --display "$display" --runs "${BENCH_RUNS:-5}" \
  --launches "${BENCH_LAUNCHES:-10}" --window "${BENCH_WINDOW:-12}" --out "$build_root/results"

if $update_doc; then
  python3 "$PEERKIN_ROOT/bench/update_doc.py" "$build_root/results.md" "$PEERKIN_ROOT/docs/performance.md"
fi
