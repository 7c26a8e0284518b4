#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's answers on the terminal: help and version without any display, and a refusal,
# without a window, of what it does not know. The first argument is the korvex binary.
set -uo pipefail
korvex=${1:?usage: command_line.sh KORVEX_BINARY}
failures=0

# check NAME EXPECTED_STATUS EXPECTED_STDOUT_LINE EXPECTED_STDERR_LINE -- ENV... COMMAND...
# An empty expected line means that stream must stay empty. A run that opens a window never
# ends by itself: the timeout turns it into status 124.
check() {
    local name=$1 status=$2 out_line=$3 err_line=$4
    shift 5
    local out err got
    out=$(mktemp) err=$(mktemp)
    timeout 10 env "$@" >"$out" 2>"$err"
    got=$?
    local fault=
    [ "$got" -eq "$status" ] || fault="status $got, expected $status"
    if [ -n "$out_line" ]; then
        grep -qxF -- "$out_line" "$out" || fault="$fault; stdout lacks '$out_line'"
    elif [ -s "$out" ]; then fault="$fault; stdout not empty"; fi
    if [ -n "$err_line" ]; then
        grep -qxF -- "$err_line" "$err" || fault="$fault; stderr lacks '$err_line'"
    elif [ -s "$err" ]; then fault="$fault; stderr not empty"; fi
    if [ -n "$fault" ]; then
        echo "FAIL $name: $fault" >&2
        sed 's/^/  stdout: /' "$out" >&2
        sed 's/^/  stderr: /' "$err" >&2
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
    rm -f "$out" "$err"
}

usage='Utilisation : korvex [option]'
# No display at all, and a platform plug-in that does not exist: Qt would abort on either.
nodisplay=(-u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none)
check "--help without a display" 0 "$usage" "" -- "${nodisplay[@]}" "$korvex" --help
check "-h without a display" 0 "$usage" "" -- "${nodisplay[@]}" "$korvex" -h
check "--version without a display" 0 "Korvex 1.3.0" "" -- "${nodisplay[@]}" "$korvex" --version
check "-v without a display" 0 "Korvex 1.3.0" "" -- "${nodisplay[@]}" "$korvex" -v
check "-v behind a Qt option" 0 "Korvex 1.3.0" "" -- -u DISPLAY "$korvex" -platform offscreen -v

# An answer that cannot be written is a failure, said in French; so is a display that cannot open.
unwritten="korvex : la réponse n'a pas pu être écrite sur la sortie standard."
check "--help into a full disk" 1 "" "$unwritten" -- bash -c '"$0" --help >/dev/full' "$korvex"
check "--version with stdout closed" 1 "" "$unwritten" -- bash -c '"$0" --version >&-' "$korvex"
check "no display at all" 1 "" "korvex : aucun affichage à ouvrir (ni DISPLAY ni WAYLAND_DISPLAY)." \
    -- -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$korvex"
check "a platform that does not exist" 1 "" \
    "korvex : la plate-forme graphique « bogus » n'a pas pu démarrer." -- "$korvex" -platform bogus

# Refusals come after Qt has taken its own options, so these need a platform that works anywhere.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
offscreen=(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime")
check "unknown option" 2 "" "$usage" -- "${offscreen[@]}" "$korvex" --frobnicate
check "stray word" 2 "" "$usage" -- "${offscreen[@]}" "$korvex" calcul
check "stray word after a Qt option" 2 "" "$usage" -- "${offscreen[@]}" "$korvex" -style fusion 12

[ "$failures" -eq 0 ] || exit 1
