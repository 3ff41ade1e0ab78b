#!/usr/bin/env bash
# Loads both of the program's GNOME Shell extensions under gjs with the
# shell's pieces stubbed (check_gnome_extension.js): the ES module that
# GNOME 45 and later load, and the importer script of GNOME 43 and 44.
#   check-gnome-extensions.sh SHARE_FOLDER WORK_FOLDER
set -euo pipefail
share=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)

for tool in gjs dbus-run-session glib-compile-resources; do
  command -v "$tool" >/dev/null || { echo "cannot check here: $tool is not installed"; exit 0; }
done
# Meta's typelib lies in mutter's own folder, named for its version.
typelibs=$(dirname "$(compgen -G '/usr/lib/*/mutter-*/Meta-*.typelib' | sort -V | tail -n1)")
[[ $typelibs != . ]] || { echo "cannot check here: mutter's Meta typelib is not installed"; exit 0; }

mkdir -p "$work"
glib-compile-resources --sourcedir="$here/shell-stubs" --target="$work/shell-stubs.gresource" \
  "$here/shell-stubs.gresource.xml"
for format in module legacy; do
  uuid=peerkin@orlo.org
  [[ $format == legacy ]] && uuid=peerkin-legacy@orlo.org
  GI_TYPELIB_PATH=$typelibs dbus-run-session -- gjs -m "$here/check_gnome_extension.js" \
    "$share/gnome-shell/extensions/$uuid" "$format" "$work/shell-stubs.gresource" 2> >(grep -v '^dbus-daemon' >&2)
  echo "$uuid ($format): every check passed"
done
