#!/usr/bin/env bash
# The real program on a virtual X server of its own, with a clipboard owner that never answers:
# Ctrl+V must leave the typed number in place and must not freeze the window.
# Arguments: the korvex binary, the hung_clipboard_owner binary.
set -euo pipefail
source "$(dirname "$0")/x11_helpers.sh"
export QT_QPA_PLATFORM=xcb

# A display number of the server's own choosing, so parallel tests never meet.
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
owner_pid=
cleanup() {
    stop_korvex
    if [ -n "$owner_pid" ]; then kill "$owner_pid" 2>/dev/null || true; fi
    # Ending the server ends xclip, which stays behind as the clipboard's owner.
    kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

start_korvex "$1"
type_keys '42'
"$2" >"$work/owner" &
owner_pid=$!
for _ in $(seq 100); do
    grep -q ready "$work/owner" && break
    sleep 0.05
done

# Ctrl+C after Ctrl+V puts the readout on the clipboard once the window handles keys again; until
# then the hung owner keeps it, and each short read of it gives up.
start=$(date +%s%N)
xdotool key ctrl+v ctrl+c
copied=
for _ in $(seq 100); do
    copied=$(timeout 0.1 xclip -o -selection clipboard 2>/dev/null || true)
    [ -n "$copied" ] && break
done
blocked_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "Ctrl+V with a hung clipboard owner: readout '$copied', window answered after $blocked_ms ms"
if [ "$copied" != "42," ]; then
    echo "the readout changed: expected '42,'" >&2
    exit 1
fi
# Qt alone waits 5 s for the owner; our own deadline is 0.3 s, the rest is the keys' round trip.
if [ "$blocked_ms" -ge 1500 ]; then
    echo "the window was blocked $blocked_ms ms" >&2
    exit 1
fi

# A live owner again (xclip offers only UTF8_STRING): the paste reads, blanks and euro sign too.
kill "$owner_pid"
printf '12,5 \xe2\x82\xac\n' | xclip -selection clipboard >/dev/null 2>&1
sleep 0.2
xdotool key ctrl+v
type_keys '+1='
xdotool key ctrl+c
sleep 0.3
copied=$(timeout 1 xclip -o -selection clipboard)
if [ "$copied" != "13,5" ]; then
    echo "pasting '12,5 €' and typing +1= gave '$copied', expected '13,5'" >&2
    exit 1
fi
echo "a live owner's '12,5 €' pasted and read: 12,5 + 1 = $copied"
