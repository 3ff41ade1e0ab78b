#!/usr/bin/env bash
# Packs a native build as a release does and checks the packages with the
# validators Debian and the desktops use:
#   check-packages.sh BUILD_DIR WORK_DIR
# Fails on any lintian error or warning (an icon whose size does not fit its
# folder among them), on any remark of desktop-file-validate, appstreamcli or
# man, on a desktop entry whose program or icon is missing, and when the
# .tar.gz does not hold the files of the .deb.
set -euo pipefail

build=$1
work=$2

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The one file in WORK_DIR that matches the pattern.
only_file() {
  local matches=("$work"/$1)
  [[ ${#matches[@]} -eq 1 && -f ${matches[0]} ]] || fail "expected one $1 from CPack, found: ${matches[*]}"
  echo "${matches[0]}"
}

# Runs a validator, which must pass and say nothing (not even a warning).
quiet_pass() {
  local said
  said=$("$@" 2>&1) || fail "$1: $said"
  [[ -z $said ]] || fail "$1: $said"
}

# Errors and warnings fail; remarks (info) are shown.
check_lintian() {
  local said
  said=$(lintian --fail-on error,warning --display-info "$1" 2>&1) || fail "lintian: $said"
  grep -v 'running with root privileges' <<<"$said" || true
}

# The page renders, with its name line, and groff has nothing to say about it.
check_manual() {
  local said
  said=$(man --warnings -P cat -l "$1" 2>&1 >/dev/null) || fail "man: $said"
  [[ -z $said ]] || fail "man: $said"
  man -P cat -l "$1" 2>/dev/null | grep -q '^ *peerkin - ' || fail "man renders no NAME line from $1"
}

# The theme holds the icon the desktop entry names (lintian checks each
# icon's size against its folder).
check_icon_name() {
  local name
  name=$(sed -n 's/^Icon=//p' "$1"/applications/*.desktop)
  compgen -G "$1/icons/hicolor/*/apps/$name.png" >/dev/null || fail "no icon named $name in the theme"
}

# The files of a package listing, without their leading folders.
file_list() {
  grep -v '/$' | sed -E "s#^$1##" | sort
}

rm -rf "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" -D CPACK_OUTPUT_FILE_PREFIX="$work" >/dev/null
deb=$(only_file '*.deb')
tarball=$(only_file '*.tar.gz')

dpkg-deb -x "$deb" "$work/root"
share=$work/root/usr/share
program=$(sed -n 's/^Exec=//p' "$share"/applications/*.desktop)
[[ -n $program && -f $work/root/usr/bin/$program && -x $work/root/usr/bin/$program ]] ||
  fail "the desktop entry starts $program, which the package does not hold"

check_lintian "$deb"
quiet_pass desktop-file-validate "$share"/applications/*.desktop
appstreamcli validate-tree --no-net "$work/root" >/dev/null || fail "$(appstreamcli validate-tree --no-net "$work/root")"
check_manual "$share"/man/man1/peerkin.1.gz
check_icon_name "$share"

diff <(dpkg-deb -c "$deb" | awk '{print $NF}' | file_list './usr/') \
  <(tar tzf "$tarball" | file_list '[^/]*/') || fail "the .tar.gz and the .deb hold different files"
echo "$(basename "$deb") and $(basename "$tarball") pass lintian, desktop-file-validate, appstreamcli and man"
