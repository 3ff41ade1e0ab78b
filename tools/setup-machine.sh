#!/usr/bin/env bash
# Installs what building and testing need on a Debian or Ubuntu machine.
# Quick when everything is already there.
set -euo pipefail
source "$(dirname "$0")/common.sh"

packages=(cmake g++ clang libclang-rt-14-dev libgtest-dev googletest python3 libx11-dev libxext-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 wine32:i386 xvfb xdotool imagemagick x11-utils openbox)

install_missing "${packages[@]}"
