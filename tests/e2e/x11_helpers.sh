# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end test and the screenshot script: start Korvex on the current X display
# from a fresh folder of its own, and find its windows by exact title.

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
    kill "$KORVEX_PID" 2>/dev/null || true
    wait "$KORVEX_PID" 2>/dev/null || true
    rm -rf "$KORVEX_HOME"
}

# Keys with a small gap: keys sent back to back are taken for auto-repeat.
type_keys() { xdotool type --delay 40 "$1"; }
