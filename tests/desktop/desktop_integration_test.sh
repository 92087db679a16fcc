#!/bin/sh
# The desktop's view of Pelagrin: a valid desktop entry that takes files of the project type, and a MIME
# package that makes *.pelagrinproj that type for the desktop's file managers (GLib's lookup, as GNOME's).
# Usage: desktop_integration_test.sh SOURCE_DIR
set -eu
desktop="$1/desktop"
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

desktop-file-validate "$desktop/pelagrin.desktop"
grep -qx 'Exec=pelagrin %F' "$desktop/pelagrin.desktop"
grep -qx 'MimeType=application/x-pelagrin-project;' "$desktop/pelagrin.desktop"

mkdir -p "$data/mime/packages"
cp "$desktop/pelagrin.xml" "$data/mime/packages/"
XDG_DATA_HOME="$data" update-mime-database "$data/mime"
printf '{"name": "x"}\n' >"$data/x.pelagrinproj"
type=$(XDG_DATA_HOME="$data" XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$data/x.pelagrinproj")
if [ "$type" != "application/x-pelagrin-project" ]; then
    echo "x.pelagrinproj has the type \"$type\", not application/x-pelagrin-project" >&2
    exit 1
fi
