#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on Wayland, in a weston of its own nested in a virtual X server that xdotool
# types into: the app id, the designed size, F9 and typed keys, the settings dialog in front.
# The results are read through AT-SPI. Arguments: korvex, its desktop entry; run under
# dbus-run-session, which gives the accessibility bus a session of its own.
set -euo pipefail
here=$(dirname "$0")
work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill -CONT "${pids[i]}" 2>/dev/null || true # a stopped owner ends only once woken
        kill "${pids[i]}" 2>/dev/null || continue
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
wait_for() { for _ in $(seq 100); do test "$@" && return; sleep 0.05; done; }

source "$here/x11_helpers.sh"
start_xvfb
pids+=("$XVFB_PID")
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
share_with_session_bus XDG_RUNTIME_DIR
# The pixman renderer needs no GPU; no idle time, so no lock screen swallows the keys.
weston --backend=x11-backend.so --use-pixman --width=1024 --height=768 --idle-time=0 \
    --no-config --socket=wayland-korvex --log="$work/weston.log" &
pids+=($!)
wait_for -S "$XDG_RUNTIME_DIR/wayland-korvex"
xdotool search --sync --class '^Weston Compositor$' windowfocus --sync >/dev/null

# Qt's own choice of platform, with no X server to fall back on. The program keeps its settings
# beside itself, so it runs from a copy in the scratch folder.
cp "$1" "$work/korvex"
env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=wayland-korvex WAYLAND_DEBUG=1 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/korvex" 2>"$work/protocol" &
pids+=($!)
# pyatspi comes with Debian's own Python, whatever other python3 the PATH finds first.
read_() { /usr/bin/python3 "$here/atspi_read.py" "$@"; }
read_ size 505x200
# Keys go where weston sends them: to the calculator once it is the active window.
read_ active 'Calculatrice et Conversion Francs/Euros'

app_id=$(grep -o -m 1 'set_app_id("[^"]*")' "$work/protocol" | cut -d'"' -f2)
[ "$app_id" = "$(basename "$2" .desktop)" ] || { echo "app id '$app_id'" >&2; exit 1; }

xdotool key F9
read_ tape '[]'
xdotool type --delay 60 '7+1='
read_ readout 8
read_ tape '7 + 1 = 8'

# The clipboard: a paste, then an owner that never sends its text. Qt waits one second for it;
# the readout stays, and a second Ctrl+V of the same offer neither waits nor empties it.
offers() { grep -c 'selection(wl_data_offer' "$work/protocol" || true; }
take_clipboard() { # TEXT: an owner of our own takes the clipboard, Korvex is told and has the keys
    local before
    before=$(offers)
    WAYLAND_DISPLAY=wayland-korvex wl-copy --foreground -n "$1" &
    pids+=($!)
    for _ in $(seq 100); do [ "$(offers)" -gt "$before" ] && break; sleep 0.05; done
    read_ active 'Calculatrice et Conversion Francs/Euros'
}
take_clipboard 5
xdotool key ctrl+v
read_ readout 5
take_clipboard 77
kill -STOP "${pids[-1]}"
for attempt in first second; do
    start=$(date +%s%N)
    xdotool key ctrl+v
    read_ readout 5 # read once the window answers again
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    echo "hung owner, $attempt Ctrl+V: the readout kept, the window answered after $ms ms"
    [ "$ms" -lt 2000 ] || { echo "blocked $ms ms" >&2; exit 1; }
done

# "Taux" by keyboard: four Tabs from "=", then Space.
xdotool key --delay 60 Tab Tab Tab Tab space
read_ active 'Taux de conversion et T.V.A.'
grep -q 'set_parent(xdg_toplevel' "$work/protocol" || { echo "dialog without parent" >&2; exit 1; }
echo "weston: app id $app_id, 505x200, F9 and 7+1= gave 8 and its tape line, a paste kept from" \
    "a hung owner, settings in front"
