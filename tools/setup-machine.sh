#!/usr/bin/env bash
# Installs what building and testing need on a Debian or Ubuntu machine,
# and the extra packages named on the command line (for a script that needs
# more). With --figure, only what building and running the figure needs (a
# virtual display for its demo included), without the test tools and the
# desktops the tests start. Quick when everything is already there.
#
#   bash tools/setup-machine.sh [--figure] [PACKAGE...]
set -euo pipefail
source "$(dirname "$0")/common.sh"

figure=(cmake g++ libgtest-dev googletest python3 libx11-dev libxext-dev libxrandr-dev libpng-dev pkg-config
  libsystemd-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 wine32:i386 xvfb xdotool imagemagick x11-utils)
tests=(clang libclang-rt-14-dev dpkg-dev lintian rpm rpmlint desktop-file-utils appstream man-db icoutils
  x11-xserver-utils openbox xfwm4 xfconf i3-wm awesome dbus-daemon
  gnome-shell kwin-wayland xwayland libglib2.0-bin gjs gir1.2-gtk-4.0 libwayland-dev plasma-wayland-protocols
  libglib2.0-dev-bin)

if [[ ${1:-} == --figure ]]; then
  shift
  tests=()
fi
install_missing "${figure[@]}" "${tests[@]}" "$@"
