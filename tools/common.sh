# shellcheck shell=bash
# The library of the project's scripts in tools/ and bench/: folders,
# packages, builds, Windows programs and a private Wine on a virtual display.
# Source it; it defines functions and changes nothing.

PEERKIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PEERKIN_BUILD=${PEERKIN_BUILD:-$PEERKIN_ROOT/build}

# install_missing PACKAGE...: installs with apt-get the Debian packages not
# installed yet, adding the i386 architecture first when one of them is an
# i386 package. Quick when everything is there.
install_missing() {
  local missing=() package sudo=()
  for package in "$@"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
  fi
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# True when this machine can run 32-bit Wine (some kernels switch off 32-bit
# Linux programs; 64-bit Wine then runs a 64-bit build of the same sources).
can_run_32bit_wine() {
  [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The Windows build that tests run here: win32, or its 64-bit twin win64.
windows_test_arch() {
  if can_run_32bit_wine; then echo win32; else echo win64; fi
}

# The Wine loader for the Windows build that runs here.
wine_loader() {
  if can_run_32bit_wine; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

# build_windows ARCH: configures and builds build/ARCH (win32 also fills dist/).
build_windows() {
  local arch=$1 toolchain=mingw-w64-i686 extra=()
  [[ $arch == win64 ]] && toolchain=mingw-w64-x86_64
  [[ $arch == win32 ]] && extra=(-DPEERKIN_DIST_DIR="$PEERKIN_ROOT/dist")
  cmake -S "$PEERKIN_ROOT" -B "$PEERKIN_BUILD/$arch" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PEERKIN_ROOT/cmake/$toolchain.cmake" "${extra[@]}" >/dev/null
  cmake --build "$PEERKIN_BUILD/$arch" -j"$(nproc)"
}

# build_linux [TEST_TARGET...]: configures and builds the native X11 program
# into dist/, without sanitizers, and the test programs named.
build_linux() {
  local tests=OFF
  [[ $# -gt 0 ]] && tests=ON
  cmake -S "$PEERKIN_ROOT" -B "$PEERKIN_BUILD/linux" -DCMAKE_BUILD_TYPE=Release -DPEERKIN_SANITIZE=OFF \
    -DPEERKIN_TESTS=$tests -DPEERKIN_DIST_DIR="$PEERKIN_ROOT/dist" >/dev/null
  cmake --build "$PEERKIN_BUILD/linux" -j"$(nproc)" --target peerkin "$@"
}

# build_headless: configures and builds build/headless, the shared test
# suites over the headless back-end, natively with sanitizers. It makes no
# program: nothing ships with that back-end.
build_headless() {
  cmake -S "$PEERKIN_ROOT" -B "$PEERKIN_BUILD/headless" -DCMAKE_BUILD_TYPE=Debug -DPEERKIN_BACKEND=headless >/dev/null
  cmake --build "$PEERKIN_BUILD/headless" -j"$(nproc)"
}

# pe_machine FILE: the machine type of a Windows (PE) program in four hex
# digits, 014c for 32-bit x86 and 8664 for x86-64; nothing for other files.
pe_machine() {
  pydesktop pe-machine "$1"
}

is_windows_program() {
  [[ -n $(pe_machine "$1") ]]
}

is_win32_program() {
  [[ $(pe_machine "$1") == 014c ]]
}

# wine_loader_for PROGRAM: the Wine loader that fits a Windows program's
# bitness: wine64 for a 64-bit one, wine for a 32-bit one (PEERKIN_WINE64
# and PEERKIN_WINE32 name others).
wine_loader_for() {
  pydesktop wine-loader "$1"
}

# free_display_number FIRST LAST: the first X display number in the range
# that no X server holds (pydesktop's display_taken says which are).
free_display_number() {
  pydesktop free-display "$1" "$2"
}

# start_private_display: an Xvfb of our own (true colour, kept alive between
# clients) on the first free display number of PEERKIN_DISPLAYS ("FIRST
# LAST", default "91 140", so that people who share a machine can keep to
# ranges of their own), exported as DISPLAY; stopped when the script exits.
start_private_display() {
  local number
  number=$(pydesktop free-display) || return 1
  # shellcheck disable=SC2046 # the arguments, split on purpose
  Xvfb $(pydesktop xvfb-arguments "$number") >/dev/null 2>&1 &
  PEERKIN_XVFB_PID=$!
  export DISPLAY=":$number"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  trap stop_private_display EXIT
}

stop_private_display() {
  [[ -n ${WINEPREFIX:-} ]] && WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  [[ -n ${PEERKIN_XVFB_PID:-} ]] && kill "$PEERKIN_XVFB_PID" 2>/dev/null || true
}

# prepare_wine: a private Wine prefix under build/, created once.
prepare_wine() {
  export WINEPREFIX=${WINEPREFIX:-$PEERKIN_BUILD/wineprefix}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  WINELOADER=$(wine_loader)
  export WINELOADER
  pydesktop prepare-wine
}

# show_figure FILE PROGRAM [TOP LEFT]: runs pydesktop show-figure in the
# background, its output into FILE, until the figure shows (FILE's first
# line: "window x y width height pid"); false if it does not. The command
# is PEERKIN_FIGURE_SHOWER, which the caller ends, and the figure with it.
show_figure() {
  local file=$1
  shift
  pydesktop show-figure "$@" >"$file" &
  PEERKIN_FIGURE_SHOWER=$!
  until [[ -s $file ]]; do
    kill -0 "$PEERKIN_FIGURE_SHOWER" 2>/dev/null || return 1
    sleep 0.1
  done
}

# pydesktop COMMAND...: the commands of the Python module the tests and
# benchmarks share (tools/pydesktop), so that shell scripts find and look at
# the figure as they do.
pydesktop() {
  PYTHONPATH="$PEERKIN_ROOT/tools${PYTHONPATH:+:$PYTHONPATH}" python3 -B -m pydesktop "$@"
}
