#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The benchmarks of `make bench`; the first argument is the build folder. They print figures and
# assert nothing: a busy machine slows them down, it does not make them fail.
set -euo pipefail
build=${1:?usage: run_benchmarks.sh BUILD_DIR}
rounds=${STARTUP_ROUNDS:-20}
# A desktop login has its runtime folder; without one Qt warns at every start.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

echo "== Machine"
grep -m1 'model name' /proc/cpuinfo | sed 's/.*: /CPU: /'
echo "Cores: $(nproc); memory: $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
echo "System: $(. /etc/os-release && echo "$PRETTY_NAME"), kernel $(uname -r)"
echo "Qt: $(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || echo unknown)"

echo "== Number texts"
"$build/bench/number_text_speed"

echo "== Key press (offscreen)"
QT_QPA_PLATFORM=offscreen "$build/bench/key_latency"

echo "== Start-up under Xvfb: warm-up, then $rounds rounds"
# The real program and the floor, the same way: the X platform, no settings file, no window
# manager, the same screen.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/bench/window_watch" "$rounds" "$build/ui/korvex" "$build/bench/bare_window"

echo "== Paste of 100 MB from another program, then + 3 = (under Xvfb)"
for target in UTF8_STRING 'text/plain;charset=utf-8'; do
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$(dirname "$0")/paste_memory.sh" \
        "$build/bench/paste_memory" "$target"
done
