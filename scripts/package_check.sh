#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a distribution's reviewer sees it (`make package-check`): lintian without
# a single tag, hardening-check, the desktop entry and the metainfo as installed, the files the
# package puts in a scratch root; then the package built again from the same sources in another
# folder, which must be the same file. The first argument is the build folder that holds the .deb;
# SOURCE_DATE_EPOCH is the time `make package` gave the package's files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: package_check.sh BUILD_DIR}
epoch=${SOURCE_DATE_EPOCH:?package-check: SOURCE_DATE_EPOCH unset; run make package-check}
version=$(sed -n 's/^project(Korvex VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
deb="$build/korvex_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "package-check: no $deb; run make package" >&2; exit 1; }

echo "== lintian --pedantic -I -E $deb"
# Any tag at all fails, down to the pedantic and experimental ones: hardening-no-bindnow,
# hardening-no-fortify-functions and the other hardening tags among them. Lintian's own exit
# status then only says whether it could look at the package.
tags=$(lintian --fail-on none --pedantic -I -E "$deb")
if [ -n "$tags" ]; then
    printf '%s\n' "$tags"
    echo "package-check: lintian has the tags above" >&2
    exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
dpkg -x "$deb" "$root"

echo "== hardening-check"
# Debian 12's compiler flags mark no stack clash protection, which the check then calls
# "unknown" without failing, and no control flow protection, which it is told not to ask for.
hardening-check --nocfprotection "$root/usr/bin/korvex"

echo "== desktop-file-validate, appstreamcli validate"
desktop-file-validate "$root/usr/share/applications/example.korvex.Korvex.desktop"
metainfo="$root/usr/share/metainfo/example.korvex.Korvex.metainfo.xml"
appstreamcli validate --pedantic --no-net "$metainfo"
# Every version of the changelog is a release of the metainfo, with the same date.
paste -d ' ' <(sed -n 's/^korvex (\([^)]*\)).*/\1/p' "$top/packaging/changelog") \
    <(sed -n 's/^ -- .*>  //p' "$top/packaging/changelog" | while read -r date; do
        date -u -d "$date" +%F
    done) | while read -r release day; do
    grep -q "<release version=\"$release\" date=\"$day\"" "$metainfo" || {
        echo "package-check: the metainfo has no release $release of $day" >&2
        exit 1
    }
done

echo "== installed files"
if ! diff -u <(grep -v '^#' "$top/packaging/installed-files") \
    <(cd "$root" && find . ! -type d | sed 's/^\.//' | sort); then
    echo "package-check: the installed files differ from packaging/installed-files" >&2
    exit 1
fi

echo "== the installed program and its documents"
answer=$(env -u DISPLAY "$root/usr/bin/korvex" --version)
[ "$answer" = "Korvex $version" ] || { echo "korvex --version said '$answer'" >&2; exit 1; }
zcat "$root/usr/share/doc/korvex/changelog.gz" | cmp - "$top/packaging/changelog"
zcat "$root/usr/share/man/man1/korvex.1.gz" | cmp - "$top/packaging/korvex.1"
cmp "$root/usr/share/doc/korvex/copyright" "$top/packaging/copyright"

echo "== the same sources packaged again in another folder"
# The files git knows and new ones it does not ignore, as they are now, with the time of copying
# rather than their own, as a fresh clone would have. The tests are left out of this build: the
# package holds none of their files.
again="$scratch/korvex"
mkdir "$again"
git -C "$top" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$top/$file" ] && printf '%s\0' "$file"; done |
    tar -C "$top" --null -T - -cf - | tar -C "$again" -xmf -
make -C "$again" package SOURCE_DATE_EPOCH="$epoch" \
    CMAKE_FLAGS="-DBUILD_TESTING=OFF -DKORVEX_BENCH=OFF" >"$scratch/package.log" 2>&1 || {
    cat "$scratch/package.log" >&2
    echo "package-check: the second package did not build" >&2
    exit 1
}
if ! cmp "$deb" "$again/build/$(basename "$deb")"; then
    diffoscope "$deb" "$again/build/$(basename "$deb")" || true
    echo "package-check: two packages of the same sources differ" >&2
    exit 1
fi
sha256sum "$deb" | sed 's/ .*/: the same package from both folders/'
echo "package-check: $deb is clean"
