# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests and the screenshot script: a virtual X server of their own, Korvex
# started on it from a fresh folder, and its windows found by exact title.

# start_xvfb [SCREEN] -> exports DISPLAY, sets XVFB_PID. The server picks a free display number
# itself and holds it (-displayfd): two tests started at once never take the same one, which
# xvfb-run -a cannot promise. The number is written once the server accepts connections.
start_xvfb() {
    local number
    number=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp 3>"$number" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 200); do
        [ -s "$number" ] && break
        sleep 0.05
    done
    DISPLAY=:$(head -n 1 "$number")
    rm -f "$number"
    if [ "$DISPLAY" = : ]; then
        echo "Xvfb did not start" >&2
        stop_xvfb
        return 1
    fi
    export DISPLAY
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}

# wait_for_window TITLE_REGEX -> prints the window id, or fails after about five seconds.
wait_for_window() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.05
    done
    echo "no window titled $1" >&2
    return 1
}

# start_korvex BINARY -> sets KORVEX_PID and KORVEX_WINDOW. The program keeps its settings beside
# itself, so it runs from a copy in a temporary folder, away from any Korvex.cfg of the build.
start_korvex() {
    KORVEX_HOME=$(mktemp -d)
    cp "$1" "$KORVEX_HOME/korvex"
    "$KORVEX_HOME/korvex" &
    KORVEX_PID=$!
    KORVEX_WINDOW=$(wait_for_window '^Calculatrice et Conversion Francs/Euros$')
    xdotool windowfocus --sync "$KORVEX_WINDOW"
    sleep 0.2
}

stop_korvex() {
    if [ -n "${KORVEX_PID:-}" ]; then
        kill "$KORVEX_PID" 2>/dev/null || true
        wait "$KORVEX_PID" 2>/dev/null || true
    fi
    rm -rf "${KORVEX_HOME:-}"
}

# share_with_session_bus VARIABLE...: programs the session bus starts, the accessibility bus among
# them, get these variables. That bus keeps its socket in XDG_RUNTIME_DIR (in ~/.cache when it is
# unset) under a name every session shares, so each test gives it a runtime folder of its own.
share_with_session_bus() { dbus-update-activation-environment "$@"; }

# The program, then the server it runs on.
stop_korvex_and_xvfb() {
    stop_korvex
    stop_xvfb
}

# Keys with a small gap: keys sent back to back are taken for auto-repeat.
type_keys() { xdotool type --delay 40 "$1"; }
