#!/usr/bin/env bash
# Pictures of the real program on a virtual X server, written under docs/.
# Usage: screenshots.sh KORVEX_BINARY; runs itself again under xvfb-run when no display is set.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${KORVEX_SCREENSHOT_DISPLAY:-}" ]; then
    exec env KORVEX_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
source "$top/tests/e2e/x11_helpers.sh"
export QT_QPA_PLATFORM=xcb
trap stop_korvex EXIT
mkdir -p "$top/docs"

# A window and whatever stands over it, cropped to the window.
shoot_window() {
    local geometry
    geometry=$(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print w "x" h "+" x "+" y}')
    import -window root -crop "$geometry" +repage "$top/docs/$2"
    echo "wrote docs/$2"
}
shoot() { shoot_window "$KORVEX_WINDOW" "$1"; }

# Clicks the main window's button at its place in twips (15 to a pixel), below the menu bar.
click_button() {
    local menu_bar=$(( $(xwininfo -id "$KORVEX_WINDOW" | awk '/Height/{print $2}') - 200 ))
    xdotool mousemove --window "$KORVEX_WINDOW" $(( $1 / 15 )) $(( $2 / 15 + menu_bar )) click 1
}

start_korvex "$1"
shoot main-window.png
type_keys '1234.5*2='
sleep 0.2
shoot main-window-calculation.png
type_keys '8/0='
wait_for_window '^Calculatrice$' >/dev/null
sleep 0.3
shoot main-window-message.png
xdotool key Return
sleep 0.2

click_button 6960 1440 # "?"
help=$(wait_for_window '^Aide$')
sleep 0.3
shoot_window "$help" help-window.png
xdotool windowfocus --sync "$help"
xdotool key Return

click_button 6960 2040 # "A propos"
about=$(wait_for_window '^A propos Korvex$')
sleep 0.3
shoot_window "$about" about-window.png
xdotool windowfocus --sync "$about"
xdotool key Escape

click_button 6960 840 # "Taux"
settings=$(wait_for_window '^Taux de conversion et T.V.A.$')
sleep 0.3
shoot_window "$settings" settings-dialog.png
xdotool windowfocus --sync "$settings"
xdotool key alt+a # "&Annuler": the dialog has no cancel key

# The tape beside the calculator, both in one picture: F9, then typing goes on into the calculator.
sleep 0.5
xdotool windowfocus --sync "$KORVEX_WINDOW"
sleep 0.2
type_keys 'c'
xdotool key F9
tape=$(wait_for_window '^Historique$')
type_keys '12.5*2=c100'
click_button 5820 1440 # "Francs > Euro"
click_button 5820 2040 # "HT > TTC"
type_keys 'c8/0='
wait_for_window '^Calculatrice$' >/dev/null
sleep 0.2
xdotool key Return
type_keys '9v'
sleep 0.3
both=$( (xwininfo -id "$KORVEX_WINDOW"; xwininfo -id "$tape") | awk '
    /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Width/ {w = $2}
    /Height/ {h = $2; if (n++ == 0 || x < l) l = x; if (n == 1 || y < t) t = y;
              if (x + w > r) r = x + w; if (y + h > b) b = y + h}
    END {print r - l "x" b - t "+" l "+" t}')
import -window root -crop "$both" +repage "$top/docs/tape-window.png"
echo "wrote docs/tape-window.png"
