#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as Debian's own tools see it (`make package-check`): lintian without an error
# or a warning, the desktop entry and the metainfo as installed, and the files the package puts
# in a scratch root. The first argument is the build folder that holds the .deb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: package_check.sh BUILD_DIR}
version=$(sed -n 's/^project(Korvex VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
deb="$build/korvex_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "package-check: no $deb; run make package" >&2; exit 1; }

echo "== lintian $deb"
# Informational tags are shown, not counted.
lintian --fail-on error,warning --display-info "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

echo "== desktop-file-validate, appstreamcli validate"
desktop-file-validate "$root/usr/share/applications/example.korvex.Korvex.desktop"
appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/example.korvex.Korvex.metainfo.xml"

echo "== installed files"
(cd "$root" && find . ! -type d | sed 's/^\.//' | sort) >"$root.files"
if ! diff -u <(grep -v '^#' "$top/packaging/installed-files") "$root.files"; then
    rm -f "$root.files"
    echo "package-check: the installed files differ from packaging/installed-files" >&2
    exit 1
fi
rm -f "$root.files"

echo "== the installed program and its documents"
answer=$(env -u DISPLAY "$root/usr/bin/korvex" --version)
[ "$answer" = "Korvex $version" ] || { echo "korvex --version said '$answer'" >&2; exit 1; }
zcat "$root/usr/share/doc/korvex/changelog.gz" | cmp - "$top/packaging/changelog"
zcat "$root/usr/share/man/man1/korvex.1.gz" | cmp - "$top/packaging/korvex.1"
cmp "$root/usr/share/doc/korvex/copyright" "$top/packaging/copyright"
echo "package-check: $deb is clean"
