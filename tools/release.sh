#!/usr/bin/env bash
# Builds the 32-bit Windows program and the native Linux program, and packs
# the downloads into dist/ through CPack:
#   Peerkin-<version>-win32.zip                Peerkin.exe and readme.txt
#   peerkin_<version>_<arch>.deb               the Debian package
#   peerkin-<version>-1.<machine>.rpm          the RPM, of the same files
#   peerkin-<version>-linux-<machine>.tar.gz   the same installed tree
#
# The version in the names is read back from the built Windows program's
# version information, which the build fills from project() in
# CMakeLists.txt, as CPack fills the packages' versions: a package that does
# not carry the program's version is missing, and the release fails.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# The version text that a Windows program shows as its product version.
product_version() {
  i686-w64-mingw32-windres -J coff -O rc -i "$1" |
    sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p'
}

# cpack_into_dist ARCH: packs build/ARCH as its install rules say; the
# build put dist/ as the packages' folder.
cpack_into_dist() {
  (cd "$PEERKIN_BUILD/$1" && cpack >/dev/null)
}

# Fails unless every named package is there.
require_packages() {
  local package
  for package in "$@"; do
    [[ -f $package ]] || { echo "CPack wrote no $package: does its version differ from the program's?" >&2; exit 1; }
  done
}

main() {
  bash "$PEERKIN_ROOT/tools/setup-machine.sh"
  build_windows win32
  local program=$PEERKIN_ROOT/dist/Peerkin.exe version
  is_win32_program "$program" || { echo "$program is not a 32-bit Windows program" >&2; exit 1; }
  version=$(product_version "$program")
  [[ $version =~ ^[0-9]+(\.[0-9]+)*$ ]] || { echo "no version information in $program" >&2; exit 1; }

  local dist=$PEERKIN_ROOT/dist
  local packages=("$dist/Peerkin-$version-win32.zip" "$dist/peerkin_${version}_$(dpkg --print-architecture).deb"
    "$dist/peerkin-$version-1.$(uname -m).rpm" "$dist/peerkin-$version-linux-$(uname -m).tar.gz")
  rm -f "${packages[@]}"
  cpack_into_dist win32
  build_linux
  cpack_into_dist linux
  require_packages "${packages[@]}"

  echo "Release $version:"
  local package
  for package in "${packages[@]}"; do
    echo "  $package ($(stat -c %s "$package") bytes)"
  done
  (cd "$dist" && cmake -E tar tvf "${packages[0]}")
}

main
