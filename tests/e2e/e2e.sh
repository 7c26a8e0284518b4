#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a virtual X server: its window class, typed keys, the X clipboard and a
# modal message box. The arguments are korvex and its desktop entry.
set -euo pipefail
source "$(dirname "$0")/x11_helpers.sh"
export QT_QPA_PLATFORM=xcb
trap stop_korvex_and_xvfb EXIT
start_xvfb

start_korvex "$1"
# Docks group the window under the desktop entry whose StartupWMClass names its class.
class=$(xprop -id "$KORVEX_WINDOW" WM_CLASS | cut -d'"' -f4)
wm_class=$(sed -n 's/^StartupWMClass=//p' "$2")
[ "$class" = "$wm_class" ] || { echo "window class '$class', desktop entry '$wm_class'" >&2; exit 1; }
type_keys '12+3='
xdotool key --delay 40 ctrl+c
sleep 0.3
copied=$(xclip -o -selection clipboard)
if [ "$copied" != "15" ]; then
    echo "clipboard holds '$copied', expected '15'" >&2
    exit 1
fi

# The tape grows the window to the right; a click into it, and typing still reaches "=".
width() { xwininfo -id "$KORVEX_WINDOW" | awk '/Absolute upper-left X/{x=$4} /Width/{print x, $2}'; }
read -r left designed < <(width)
xdotool key F9
sleep 0.3
read -r left_after wide < <(width)
if [ "$left_after" != "$left" ] || [ "$wide" -le "$designed" ]; then
    echo "with the tape the window is at $left_after, $wide wide; it was at $left, $designed wide" >&2
    exit 1
fi
xdotool mousemove --window "$KORVEX_WINDOW" $((designed + 60)) 80 click 1
type_keys 'c7+1='
xdotool key --delay 40 F6 ctrl+a ctrl+c
sleep 0.3
tape=$(xclip -o -selection clipboard)
if [ "$tape" != $'12 + 3 = 15\n----\n7 + 1 = 8' ]; then
    echo "the tape holds '$tape'" >&2
    exit 1
fi

type_keys '8/0='
# The main title holds the word too: only an exact match is the message box.
wait_for_window '^Calculatrice$' >/dev/null
echo "end-to-end: class $class, typed 12+3=, copied 15, the tape beside the keypad took 7+1=, division by zero showed its message"
