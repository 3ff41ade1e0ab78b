#!/usr/bin/env bash
# Builds the programs and runs the figure: the Windows program under Wine, or
# with --linux the native X11 program; on this display, or on a virtual one
# when there is none (then a screenshot and a short animation show it at
# work).
#
#   bash tools/run-figure.sh [--linux]
set -euo pipefail
source "$(dirname "$0")/common.sh"

bash "$PEERKIN_ROOT/tools/setup-machine.sh" --figure
build_linux
build_windows win32
if [[ ${1:-} == --linux ]]; then
  program=$PEERKIN_ROOT/dist/peerkin
else
  arch=$(windows_test_arch)
  program=$PEERKIN_ROOT/dist/Peerkin.exe
  if [[ $arch != win32 ]]; then
    echo "This kernel cannot run 32-bit Wine: running the 64-bit build of the same sources."
    build_windows "$arch"
    program=$PEERKIN_BUILD/$arch/startup/Peerkin.exe
  fi
fi

if [[ -z ${DISPLAY:-} ]]; then
  echo "No display here: the figure runs on a virtual one while the pointer walks round it."
  exec bash "$PEERKIN_ROOT/tools/demo.sh" "$program"
elif is_windows_program "$program"; then
  prepare_wine
  exec "$PEERKIN_ROOT/tools/wine-run" "$program"
else
  exec "$program"
fi
