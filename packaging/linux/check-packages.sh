#!/usr/bin/env bash
# Packs a native build as a release does and checks the packages with the
# validators Debian and the desktops use:
#   check-packages.sh BUILD_DIR WORK_DIR
# Fails on any lintian error or warning (an icon whose size does not fit its
# folder among them), on any remark of desktop-file-validate, appstreamcli or
# man, on a desktop entry whose program or icon is missing, on an rpmlint
# error or a warning that README.md does not explain, when the .tar.gz does
# not hold the files of the .deb, and in check_rpm_install.
set -euo pipefail

build=$1
work=$2
here=$(dirname "$0")

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

tree_of() { find "$1" -path "$1/var/lib/rpm" -prune -o -print | sort; }

# Installs the .rpm into a root that holds only folders of the distributions'
# filesystem package: it must put there the .deb's files, byte for byte, ask
# by soname for each library the installed program links and for no other,
# and removed, leave the root as it found it. (--force-debian only quiets
# Debian's rpm saying that it is not dpkg.)
check_rpm_install() {
  local root=$work/rpm-root before linked required
  local in_root=(rpm --root "$root" --dbpath /var/lib/rpm)
  mkdir -p "$root"/usr/{bin,share/{applications,doc,icons,man/man1,metainfo}}
  "${in_root[@]}" --initdb
  before=$(tree_of "$root")
  "${in_root[@]}" --force-debian -i --nodeps "$1"
  diff -r "$work/root/usr" "$root/usr" || fail "the .rpm and the .deb hold different files"
  linked=$(readelf -d "$root/usr/bin/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p' | sort)
  required=$(rpm -qp --requires "$1" | sed -nE 's/^([^( ]+\.so(\.[0-9]+)*)(\(\)(\(64bit\))?)?$/\1/p' | sort)
  [[ -n $linked && $linked == "$required" ]] || fail "the .rpm requires [$required]; the program links [$linked]"
  "${in_root[@]}" --force-debian -e "$(rpm -qp --qf '%{NAME}' "$1")"
  diff <(echo "$before") <(tree_of "$root") || fail "rpm -e did not leave the root as rpm -i found it"
}

rm -rf "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" -D CPACK_OUTPUT_FILE_PREFIX="$work" >/dev/null
deb=$(only_file '*.deb')
tarball=$(only_file '*.tar.gz')
rpm=$(only_file '*.rpm')

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
said=$(rpmlint -c "$here/rpmlint.toml" "$rpm" 2>&1) || fail "rpmlint: $said"
! grep ': W: ' <<<"$said" | grep -Ev ': W: (no-url-tag|no-manual-page-for-binary|invalid-license)( |$)' ||
  fail "rpmlint warns as above, which README.md does not explain"
check_rpm_install "$rpm"
echo "$(basename "$deb"), $(basename "$rpm") and $(basename "$tarball") pass lintian, rpmlint," \
  "desktop-file-validate, appstreamcli and man; the .rpm installs and removes cleanly"
