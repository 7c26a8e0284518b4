#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a make command needs, and no more: bootstrap.sh TIER, where TIER is
# run, test, fuzz, bench, package, package-check, screenshots or format. Every tier includes run.
# It names what it will install before installing, and does nothing when everything is there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tier=${1:-run}

# Building and running: compiler, CMake, Ninja, Qt, the two fonts the windows ask for by their
# Windows names, the French texts of Qt's own buttons, XCB for the clipboard, and dpkg-buildflags
# (dpkg-dev) for the hardening flags of Debian's own builds, so that the program `make run` builds
# is the one the package ships.
run_packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n fonts-liberation2
    fonts-comic-neue libxcb1-dev pkg-config dpkg-dev)
# The tests: the real program on a virtual X server, driven with keys and the X clipboard; on
# Wayland in weston; what a screen reader hears. The last two read the program through the
# accessibility bus of a D-Bus session of their own, with Debian's pyatspi.
test_packages=(locales xvfb xauth xdotool xclip x11-utils python3 weston qt6-wayland wl-clipboard dbus-daemon
    at-spi2-core python3-pyatspi)
# libFuzzer and the sanitizers' run-time come with libclang-rt-14-dev, which clang only recommends.
fuzz_packages=(clang libclang-rt-14-dev)
# Xlib for the start-up benchmark's watcher, the X server it watches, xclip for the paste.
bench_packages=(libx11-dev xvfb xauth xclip)
# CPack's Debian generator reads the libraries' dependencies with dpkg-shlibdeps and file.
package_packages=(dpkg-dev file)
# hardening-check comes with devscripts; diffoscope shows how two packages differ.
package_check_packages=("${package_packages[@]}" lintian desktop-file-utils appstream devscripts
    diffoscope)
# The dark pictures need the GTK theme plug-in; the pictures are cut with ImageMagick.
screenshots_packages=(xvfb xauth xdotool x11-utils imagemagick qt6-gtk-platformtheme)
format_packages=(clang-format)

case "$tier" in
run) extra=() ;;
test) extra=("${test_packages[@]}") ;;
fuzz) extra=("${fuzz_packages[@]}") ;;
bench) extra=("${bench_packages[@]}") ;;
package) extra=("${package_packages[@]}") ;;
package-check) extra=("${package_check_packages[@]}") ;;
screenshots) extra=("${screenshots_packages[@]}") ;;
format) extra=("${format_packages[@]}") ;;
*)
    echo "bootstrap: unknown tier '$tier' (run, test, fuzz, bench, package, package-check," \
        "screenshots, format)" >&2
    exit 2
    ;;
esac
mapfile -t packages < <(printf '%s\n' "${run_packages[@]}" "${extra[@]}" | sort -u)

# The packages found installed last time, kept in the build folder. The list holds while dpkg's
# database is older than it; then checking costs no process at all.
verified="$top/build/.bootstrap-verified"
locale_ready() { [ "$tier" != test ] || locale -a 2>/dev/null | grep -qix 'fr_FR\.utf-\?8'; }
if [ -f "$verified" ] && [ "$verified" -nt /var/lib/dpkg/status ] && locale_ready; then
    mapfile -t known <"$verified"
    unknown=$(comm -23 <(printf '%s\n' "${packages[@]}") <(printf '%s\n' "${known[@]}"))
    [ -n "$unknown" ] || exit 0
fi

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "bootstrap: need root or sudo to run: $*" >&2
        exit 1
    fi
}

installed() {
    dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "$@" 2>/dev/null | awk '$1 == "ii" { print $2 }'
}
missing=$(comm -23 <(printf '%s\n' "${packages[@]}") <(installed "${packages[@]}" | sort -u))
if [ -n "$missing" ]; then
    # shellcheck disable=SC2086 # one package name a word, on one line
    echo "bootstrap: make $tier needs these Debian packages, missing here:" $missing
    as_root apt-get update
    # apt-get lists every package it adds, with the download and disk sizes, before it installs.
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

if [ "$tier" = test ] && ! locale_ready; then
    echo "bootstrap: generating the fr_FR.UTF-8 locale, which some tests run under"
    as_root sed -i 's/^# *\(fr_FR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^fr_FR\.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen
fi

# Remembered with what was there before, so that running the tiers in turn keeps one list.
mkdir -p "$(dirname "$verified")"
{ [ -f "$verified" ] && [ "$verified" -nt /var/lib/dpkg/status ] && cat "$verified"
    installed "${packages[@]}"; } | sort -u >"$verified.new"
mv "$verified.new" "$verified"
