#!/usr/bin/env bash
# Builds everything and runs every test, on a private virtual display: the
# portable code and the native X11 program with its tests and end-to-end
# tests natively with sanitizers, its Debian package and .tar.gz through the
# package validators, then the Windows test programs and the
# end-to-end tests of the real program under Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"

bash "$PEERKIN_ROOT/tools/setup-machine.sh"

start_private_display

echo "== Native build (sanitizers): portable code and the X11 program"
cmake -S "$PEERKIN_ROOT" -B "$PEERKIN_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$PEERKIN_BUILD/native" -j"$(nproc)"
(cd "$PEERKIN_BUILD/native" && ctest --output-on-failure)

echo "== Native X11 program (dist/peerkin), its long run without sanitizers, and its packages"
build_linux reliability_x11_tests
(cd "$PEERKIN_BUILD/linux" && ctest --output-on-failure -R '^(reliability_x11_tests|linux_packages)$')

echo "== Windows build (the program in dist/)"
build_windows win32
arch=$(windows_test_arch)
if [[ $arch != win32 ]]; then
  echo "== This kernel cannot run 32-bit Wine: testing the 64-bit build of the same sources"
  build_windows "$arch"
fi

echo "== Tests under Wine ($arch)"
prepare_wine
(cd "$PEERKIN_BUILD/$arch" && ctest --output-on-failure)
