#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program with its accessibility bridge on, on a D-Bus session of its own, and what the
# AT-SPI events tell a screen reader as keys are typed. Run under dbus-run-session; the first
# argument is the korvex binary.
set -euo pipefail
source "$(dirname "$0")/x11_helpers.sh"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
runtime=$(mktemp -d)
trap 'stop_korvex_and_xvfb; rm -rf "$runtime"' EXIT
start_xvfb
export XDG_RUNTIME_DIR=$runtime
share_with_session_bus DISPLAY XDG_RUNTIME_DIR
# The accessibility bus runs before any program starts, as in a desktop session.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
start_korvex "$1"
# Debian's own Python, which python3-pyatspi is made for, whatever python3 comes first on the PATH.
/usr/bin/python3 "$(dirname "$0")/screen_reader.py"
