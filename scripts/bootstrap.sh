#!/usr/bin/env bash
# Installs the Debian packages Korvex needs to build, test and run, and the French locale that one
# test runs under. Does nothing when everything is there already.
set -euo pipefail

packages=(
    cmake
    ninja-build
    g++
    qt6-base-dev
    qt6-translations-l10n
    # The clipboard owner is asked over an XCB connection of the program's own.
    pkg-config
    libxcb1-dev
    fonts-liberation2
    fonts-comic-neue
    clang-format
    locales
    xvfb
    xauth
    xdotool
    xclip
    x11-utils
    imagemagick
    desktop-file-utils
    appstream
    dpkg-dev
    # Fuzzing and the benchmarks: libFuzzer and the sanitizers' run-time come with
    # libclang-rt-14-dev, which clang only recommends; Xlib for the start-up benchmark's watcher.
    clang
    libclang-rt-14-dev
    libx11-dev
)

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

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "bootstrap: installing missing Debian packages: ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    echo "bootstrap: generating the fr_FR.UTF-8 locale"
    as_root sed -i 's/^# *\(fr_FR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^fr_FR\.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen
fi
