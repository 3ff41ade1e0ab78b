# Shared by the project's scripts: folders, builds, and a private Wine on a
# virtual display. Source it; it defines functions and changes nothing.

PEERKIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PEERKIN_BUILD=${PEERKIN_BUILD:-$PEERKIN_ROOT/build}

# True when this machine can run 32-bit Wine (some kernels switch off 32-bit
# Linux programs; 64-bit Wine then runs a 64-bit build of the same sources).
can_run_32bit_wine() {
  [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The Windows build that tests run here: win32, or its 64-bit twin win64.
windows_test_arch() {
  if can_run_32bit_wine; then echo win32; else echo win64; fi
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

# True when the file is a Windows program (it starts with "MZ").
is_windows_program() {
  [[ $(head -c 2 "$1") == MZ ]]
}

# start_private_display: an Xvfb of our own (true colour, kept alive between
# clients), exported as DISPLAY; stopped when the script exits. It takes the
# first free display number of PEERKIN_DISPLAYS ("FIRST LAST", default
# "91 140"), so that people who share a machine can keep to ranges of their own.
start_private_display() {
  local number
  # shellcheck disable=SC2086 # two numbers, split on purpose
  for number in $(seq ${PEERKIN_DISPLAYS:-91 140}); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    PEERKIN_XVFB_PID=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    trap stop_private_display EXIT
    return 0
  done
  echo "no free display number" >&2
  return 1
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
  if can_run_32bit_wine; then export WINELOADER=/usr/lib/wine/wine; else export WINELOADER=/usr/lib/wine/wine64; fi
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Preparing a private Wine prefix in $WINEPREFIX"
    "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  fi
  # Keep one wineserver for the whole run: each test then starts in seconds.
  # Its services start here, not in the first test: started from a test they
  # would keep the test's output open, and the test runner would wait for
  # them for ever.
  wineserver -p >/dev/null 2>&1 || true
  "$WINELOADER" wineboot >/dev/null 2>&1 </dev/null || true
}
