#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Run on an X server by run_benchmarks.sh: xclip holds 100 MB of digits on the clipboard, offered
# as TARGET ("UTF8_STRING" as most X programs do, or "text/plain;charset=utf-8" as Qt and GTK
# programs do), and the benchmark pastes them. Arguments: the paste_memory binary, TARGET.
set -euo pipefail
head -c 100000000 /dev/zero | tr '\0' '7' | xclip -selection clipboard -t "$2" >/dev/null 2>&1
sleep 0.3
echo -n "owner offers $2: "
QT_QPA_PLATFORM=xcb "$1" 2>/dev/null
