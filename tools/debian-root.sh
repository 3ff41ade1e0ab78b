#!/usr/bin/env bash
# A Debian root of a newer release, for the tests that run the program under
# that release's desktops or Wine: made once with debootstrap from Debian's
# package registry, kept under build/roots/ for later runs, and entered with
# chroot in a mount namespace of its own, so that nothing stays mounted
# when the command ends (a mount left under build/ would take the host's
# folders with it on the next clean).
#
#   bash tools/debian-root.sh make SUITE [PACKAGE...]  # prints the root's folder
#   bash tools/debian-root.sh run ROOT COMMAND...      # COMMAND inside ROOT
#
# make installs the packages not yet in the root (an i386 package adds the
# i386 architecture first) and fails, saying why in one line on standard
# error, where the root cannot be made here. run keeps the environment and
# the working folder, and sees the host's /tmp (X sockets, the tests'
# throwaway folders), /dev, /proc, /sys and this checkout at the same paths.
set -euo pipefail
source "$(dirname "$0")/common.sh"

MIRROR=${PEERKIN_DEBIAN_MIRROR:-http://deb.debian.org/debian}

root_folder() {
  echo "${PEERKIN_ROOTS:-$PEERKIN_BUILD/roots}/$1"
}

# bootstrap ROOT SUITE: the base system, made in a folder beside ROOT and
# renamed into place only once complete, so that an interrupted run leaves
# nothing that looks like a root.
bootstrap() {
  local root=$1 suite=$2 partial=$1.partial
  install_missing debootstrap >&2
  rm -rf "$partial"
  mkdir -p "$partial"
  if ! debootstrap --variant=minbase --include=ca-certificates "$suite" "$partial" "$MIRROR" \
      >"$partial.log" 2>&1; then
    echo "debian-root: debootstrap of Debian $suite failed; its log: $partial.log" >&2
    return 1
  fi
  mv "$partial" "$root"
}

# missing_in ROOT PACKAGE...: the packages not yet installed in ROOT.
missing_in() {
  local root=$1 package
  shift
  for package in "$@"; do
    chroot "$root" dpkg -s "$package" >/dev/null 2>&1 || echo "$package"
  done
}

install_in() {
  local root=$1
  shift
  local missing
  mapfile -t missing < <(missing_in "$root" "$@")
  [[ ${#missing[@]} -eq 0 ]] && return 0
  if [[ " ${missing[*]}" == *:i386* ]] && ! chroot "$root" dpkg --print-foreign-architectures | grep -qx i386; then
    chroot "$root" dpkg --add-architecture i386
  fi
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  echo "debian-root: installing in $root: ${missing[*]}" >&2
  if ! run_in "$root" env DEBIAN_FRONTEND=noninteractive sh -c \
      'apt-get update -qq && apt-get install -y -qq --no-install-recommends "$@"' sh "${missing[@]}" \
      >"$root.install.log" 2>&1; then
    echo "debian-root: installing ${missing[*]} in $root failed; its log: $root.install.log" >&2
    return 1
  fi
}

make_root() {
  local suite=$1 root
  shift
  root=$(root_folder "$suite")
  mkdir -p "$(dirname "$root")"
  # One maker at a time: two test programs may ask for the same root.
  exec 9>"$root.lock"
  flock 9
  [[ -x $root/usr/bin/apt-get ]] || bootstrap "$root" "$suite"
  install_in "$root" "$@"
  echo "$root"
}

# run_in ROOT COMMAND...: COMMAND inside ROOT, with the host's folders that
# the tests share bound at their own paths, in a private mount namespace.
run_in() {
  local root=$1
  shift
  [[ -x $root/usr/bin/env ]] || { echo "debian-root: $root is not a Debian root" >&2; return 1; }
  exec unshare --mount --propagation private bash -c '
    root=$1 checkout=$2 cwd=$3; shift 3
    for folder in /proc /sys /dev /dev/pts /dev/shm /tmp "$checkout"; do
      [[ -d $folder ]] || continue
      mkdir -p "$root$folder"
      mount --bind "$folder" "$root$folder"
    done
    cd "$root" && exec chroot "$root" sh -c "cd \"\$0\" 2>/dev/null || cd /; exec \"\$@\"" "$cwd" "$@"
  ' bash "$root" "$PEERKIN_ROOT" "$PWD" "$@"
}

case ${1:-} in
  make) shift; [[ $# -ge 1 ]] || { echo "usage: $0 make SUITE [PACKAGE...]" >&2; exit 2; }; make_root "$@" ;;
  run) shift; [[ $# -ge 2 ]] || { echo "usage: $0 run ROOT COMMAND..." >&2; exit 2; }; run_in "$@" ;;
  *) sed -n '9,10s/^# *//p' "$0" >&2; exit 2 ;;
esac
