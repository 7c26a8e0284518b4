#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on an X server of its own with clipboard owners that hang, die or crawl: Ctrl+V
# keeps the typed number unless a whole text came, and never freezes the window. Arguments: korvex, hung_clipboard_owner.
set -euo pipefail
source "$(dirname "$0")/x11_helpers.sh"
export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
owner_pid=
cleanup() {
    stop_korvex
    if [ -n "$owner_pid" ]; then kill "$owner_pid" 2>/dev/null || true; fi
    stop_xvfb # which also ends xclip
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
wait_for_line() { for _ in $(seq 100); do grep -q "$2" "$1" 2>/dev/null && return; sleep 0.05; done; }
start_xvfb

start_korvex "$1"
type_keys '42'

# paste MODE EXPECTED: an owner misbehaving so takes the clipboard, then Ctrl+V and Ctrl+C; the
# readout copied back must be EXPECTED, and an owner that failed must not block the window 1 s.
paste() {
    "$owner" "$1" >"$work/owner" &
    owner_pid=$!
    wait_for_line "$work/owner" ready
    local start copied blocked_ms
    start=$(date +%s%N)
    xdotool key --delay 40 ctrl+v ctrl+c
    # Until the owner is done or has failed, a request of ours could reach it before the window's.
    for _ in $(seq 300); do grep -q 'stall\|done' "$work/owner" && break; sleep 0.05; done
    for _ in $(seq 100); do
        copied=$(timeout 0.1 xclip -o -selection clipboard 2>/dev/null || true)
        [ -n "$copied" ] && break
    done
    blocked_ms=$(( ($(date +%s%N) - start) / 1000000 ))
    echo "$1: readout '${copied:0:12}' (${#copied} characters) after $blocked_ms ms"
    [ "$copied" = "$2" ] || { echo "$1: expected '${2:0:12}' (${#2} characters)" >&2; exit 1; }
    grep -q stall "$work/owner" && [ "$blocked_ms" -ge 1000 ] \
        && { echo "$1: the window was blocked $blocked_ms ms" >&2; exit 1; }
    kill "$owner_pid" 2>/dev/null || true
}

owner=$2
# The menu opened and closed by the keyboard leaves the menu bar with the focus; the hung owner
# takes the clipboard only then, after a text made "Co&ller" enabled.
echo 5 | xclip -selection clipboard >/dev/null 2>&1
xdotool key --delay 40 alt+e Escape
paste hang-targets '42,'
for mode in hang-text die-on-text incr-die incr-stall; do paste "$mode" '42,'; done
paste incr-slow "$(printf '%040000d' 0 | tr 0 7)" # six seconds, but never 0.3 s without a piece
paste latin1 'é'

# A live owner again (xclip offers only UTF8_STRING): the paste reads, blanks and euro sign too.
printf '12,5 \xe2\x82\xac\n' | xclip -selection clipboard >/dev/null 2>&1
sleep 0.2
xdotool key ctrl+v
type_keys '+1='
xdotool key ctrl+c
sleep 0.3
copied=$(timeout 1 xclip -o -selection clipboard)
[ "$copied" = "13,5" ] || { echo "'12,5 €' pasted, +1= gave '$copied', not '13,5'" >&2; exit 1; }
echo "a live owner's '12,5 €' pasted and read: 12,5 + 1 = $copied"
