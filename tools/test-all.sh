#!/usr/bin/env bash
# Builds everything and runs every test: first the shared suites over the
# headless back-end (windows in memory, no display, sanitizers), then, on a
# private virtual display, the portable code and the native X11 program with its tests and end-to-end
# tests natively with sanitizers, its Debian package and .tar.gz through the
# package validators, then the Windows test programs and the end-to-end
# tests of the real program under Wine. Ends by printing the reliability
# suite's figures of each build.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# print_reliability_figures TITLE BUILD_FOLDER: the figures this run's
# reliability suite wrote in the build folder: the end-to-end report, which
# holds the in-process program's figures too, or else those alone. CTest
# shows a passing test's output only when asked, so they are printed here.
print_reliability_figures() {
  local title=$1 build=$2 file
  file=$(find "$build" -name reliability-report.txt -newer "$started" -print -quit)
  [[ -n $file ]] || file=$(find "$build" -name reliability-figures.txt -newer "$started" -print -quit)
  echo "== Reliability figures: $title"
  if [[ -n $file ]]; then sed 's/^/   /' "$file"; else echo "   (none written)"; fi
}

bash "$PEERKIN_ROOT/tools/setup-machine.sh"

mkdir -p "$PEERKIN_BUILD"
started=$PEERKIN_BUILD/test-all.started
touch "$started"

echo "== Headless build (sanitizers): the shared suites over windows in memory"
build_headless
(cd "$PEERKIN_BUILD/headless" && env -u DISPLAY ctest --output-on-failure -R '_headless_tests$')

start_private_display

echo "== Native build (sanitizers): portable code and the X11 program"
cmake -S "$PEERKIN_ROOT" -B "$PEERKIN_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$PEERKIN_BUILD/native" -j"$(nproc)"
(cd "$PEERKIN_BUILD/native" && ctest --output-on-failure)

echo "== Native X11 program (dist/peerkin), its long run without sanitizers, and its packages"
build_linux reliability_x11_tests kwin_pointer
# Debian 13's desktops, in a root made once under build/roots; where it
# cannot be made, make says why and the desktop cases skip, saying so.
export PEERKIN_ROOTS=${PEERKIN_ROOTS:-$PEERKIN_BUILD/roots}
bash "$PEERKIN_ROOT/tools/debian-root.sh" make trixie gnome-shell kwin-wayland xwayland dbus-daemon libglib2.0-bin \
  gjs gir1.2-gtk-4.0 >/dev/null || true
(cd "$PEERKIN_BUILD/linux" && ctest --output-on-failure \
  -R '^(reliability_x11_tests|linux_packages|e2e_installed|e2e_native_wayland_.*_trixie)$')

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

# Debian 13's Wine 10 scales programs as Windows does, and gives the program
# the per-monitor awareness of version 2: the scaled screens once more under
# it, from a root of that release and a Wine prefix of its own (a prefix that
# Wine 10 has upgraded cannot go back to Wine 8).
echo "== Scaled screens under Debian 13's Wine 10 ($arch)"
if wine10_root=$(bash "$PEERKIN_ROOT/tools/debian-root.sh" make trixie wine wine32:i386 2>"$PEERKIN_BUILD/wine10-root.log"); then
  (cd "$PEERKIN_BUILD/$arch" && PEERKIN_WINE_ROOT=$wine10_root WINEPREFIX=$PEERKIN_BUILD/wine10prefix \
    ctest --output-on-failure -R '^e2e_scaling$')
else
  echo "   skipped: no Debian 13 root with Wine 10 here: $(tail -n 1 "$PEERKIN_BUILD/wine10-root.log")"
fi

print_reliability_figures "headless back-end, with sanitizers (in-process)" "$PEERKIN_BUILD/headless"
print_reliability_figures "native X11 program, with sanitizers (in-process and end to end)" "$PEERKIN_BUILD/native"
print_reliability_figures "native X11 program, without sanitizers (in-process, with its long run)" \
  "$PEERKIN_BUILD/linux"
print_reliability_figures "Windows program under Wine, $arch (in-process and end to end)" "$PEERKIN_BUILD/$arch"
