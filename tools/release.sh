#!/usr/bin/env bash
# Builds the 32-bit program and packs the Windows download,
# dist/Peerkin-<version>-win32.zip: Peerkin.exe and readme.txt.
#
# The version in the name is read back from the built program's version
# information, which the build fills from project() in CMakeLists.txt: the
# name and the program cannot disagree.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# The version text that a Windows program shows as its product version.
product_version() {
  i686-w64-mingw32-windres -J coff -O rc -i "$1" |
    sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p'
}

# Packs the program and the readme (with Windows line ends, whatever the
# checkout did to them) into a zip with both files at its top.
pack() {
  local program=$1 zip=$2
  stage=$(mktemp -d "${TMPDIR:-/tmp}/peerkin-release.XXXXXX")
  trap 'rm -rf "$stage"' EXIT
  cp "$program" "$stage/Peerkin.exe"
  sed 's/\r*$/\r/' "$PEERKIN_ROOT/packaging/readme.txt" >"$stage/readme.txt"
  rm -f "$zip"
  (cd "$stage" && cmake -E tar cf "$zip" --format=zip Peerkin.exe readme.txt)
}

main() {
  bash "$PEERKIN_ROOT/tools/setup-machine.sh"
  build_windows win32
  local program=$PEERKIN_ROOT/dist/Peerkin.exe version
  is_win32_program "$program" || { echo "$program is not a 32-bit Windows program" >&2; exit 1; }
  version=$(product_version "$program")
  [[ $version =~ ^[0-9]+(\.[0-9]+)*$ ]] || { echo "no version information in $program" >&2; exit 1; }

  local zip=$PEERKIN_ROOT/dist/Peerkin-$version-win32.zip
  pack "$program" "$zip"
  echo "Release $version: $zip ($(stat -c %s "$zip") bytes)"
  (cd "$PEERKIN_ROOT/dist" && cmake -E tar tvf "$zip")
}

main
