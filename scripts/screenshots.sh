#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the real program on a virtual X server, written under docs/: every window and the
# message boxes, on a light and a dark desktop theme, at scale 1 and 2.
# Usage: screenshots.sh KORVEX_BINARY; it runs on an X server of its own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tests/e2e/x11_helpers.sh"
export QT_QPA_PLATFORM=xcb
trap stop_korvex_and_xvfb EXIT
start_xvfb 2000x1200x24
mkdir -p "$top/docs"

# A window and whatever stands over it, cropped to the window. The light pictures at scale 1 keep
# the plain names the README shows; the others say their theme and scale.
shoot_window() {
    local geometry name=$2
    [ "$variant" = light-x1 ] || name=${name%.png}-$variant.png
    geometry=$(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print w "x" h "+" x "+" y}')
    import -window root -crop "$geometry" +repage "$top/docs/$name"
    echo "wrote docs/$name"
}
shoot() { shoot_window "$KORVEX_WINDOW" "$1"; }

# Clicks a button of a window at its place in twips (15 to a pixel, times the scale), measured
# from the top of the client area: in the main window, below the menu bar.
click_button() {
    local window=$1 left=$2 top=$3 below=${4:-0}
    xdotool mousemove --window "$window" $(( left * scale / 15 )) $(( (top / 15 + below) * scale )) click 1
}
menu_bar() { echo $(( $(xwininfo -id "$KORVEX_WINDOW" | awk '/Height/{print $2}') / scale - 200 )); }

# Takes one open window's picture, then closes it with a key.
shoot_and_close() {
    local id
    id=$(wait_for_window "$1")
    sleep 0.4
    shoot_window "$id" "$2"
    xdotool windowfocus --sync "$id"
    xdotool key "$3"
    sleep 0.2
}

# The calculator with its tape: F9, then typing goes on into the calculator.
shoot_tape() {
    xdotool windowfocus --sync "$KORVEX_WINDOW"
    sleep 0.2
    type_keys 'c'
    xdotool key F9
    type_keys '12.5*2=c100'
    click_button "$KORVEX_WINDOW" 5820 1440 "$1" # "Francs > Euro"
    click_button "$KORVEX_WINDOW" 5820 2040 "$1" # "HT > TTC"
    type_keys 'c8/0='
    wait_for_window '^Calculatrice$' >/dev/null
    sleep 0.2
    xdotool key Return
    type_keys '9v'
    sleep 0.3
    shoot main-window-tape.png
}

shoot_everything() {
    start_korvex "$1"
    shoot main-window.png
    type_keys '1234.5*2='
    sleep 0.2
    shoot main-window-calculation.png
    type_keys '8/0='
    shoot_and_close '^Calculatrice$' message-box-warning.png Return
    local bar
    bar=$(menu_bar)

    click_button "$KORVEX_WINDOW" 6480 1200 "$bar" # "?"
    shoot_and_close '^Aide$' help-window.png Return

    click_button "$KORVEX_WINDOW" 6480 1800 "$bar" # "A propos"
    local about
    about=$(wait_for_window '^A propos Korvex$')
    sleep 0.4
    shoot_window "$about" about-window.png
    click_button "$about" 4000 2300 # "Détails..."
    shoot_and_close '^A propos$' message-box-information.png Return
    xdotool windowfocus --sync "$about"
    xdotool key Escape
    sleep 0.2

    click_button "$KORVEX_WINDOW" 6480 600 "$bar" # "Taux"
    local settings
    settings=$(wait_for_window '^Taux de conversion et T.V.A.$')
    sleep 0.4
    # The dialog over the calculator, as the user sees it.
    shoot main-window-settings.png
    shoot_window "$settings" settings-dialog.png
    xdotool windowfocus --sync "$settings"
    xdotool key alt+a # "&Annuler": the dialog has no cancel key
    sleep 0.5
    shoot_tape "$bar"
    stop_korvex
}

for scale in 1 2; do
    variant=light-x$scale
    QT_SCALE_FACTOR=$scale shoot_everything "$1"
    # The desktop's own dark theme, through the toolkit's GTK platform theme.
    variant=dark-x$scale
    QT_SCALE_FACTOR=$scale QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark shoot_everything "$1"
done
