#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads Korvex's windows through AT-SPI, as a screen reader does, where no X11 tool can see them:
# atspi_read.py WHAT EXPECTED waits up to ten seconds for WHAT to read EXPECTED, and fails
# printing what it read last. WHAT is one of
#   size     the main window's client area, "WIDTHxHEIGHT", its menu bar left out
#   readout  the readout's text
#   tape     EXPECTED when a shown list holds an item named exactly so, else the shown lists'
#            items, "[]" when they are empty
#   active   the title of the program's active window
import sys
import time

import pyatspi

MAIN_TITLE = "Calculatrice et Conversion Francs/Euros"


def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def size(tree, _):
    frame = next(n for n in tree if n.name == MAIN_TITLE and n.getRole() == pyatspi.ROLE_FRAME)
    bar = next(n for n in nodes(frame) if n.getRole() == pyatspi.ROLE_MENU_BAR)
    window = frame.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    menu = bar.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    return f"{window.width}x{window.height - menu.height}"


def readout(tree, _):
    return next(n.name for n in tree if n.description == "Affichage de la calculatrice")


def tape(tree, line):
    shown = [n for n in tree if n.getRole() == pyatspi.ROLE_LIST
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    items = [item.name for n in shown for item in n]
    return line if line in items else str(items) if shown else "no list shown"


def active(tree, _):
    windows = (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG)
    return next(n.name for n in tree
                if n.getRole() in windows and n.getState().contains(pyatspi.STATE_ACTIVE))


def main(what, expected):
    read = {"size": size, "readout": readout, "tape": tape, "active": active}[what]
    seen = None
    for _ in range(100):
        try:
            tree = [n for app in pyatspi.Registry.getDesktop(0) if app and app.name == "Korvex"
                    for n in nodes(app)]
            seen = read(tree, expected)
        except (StopIteration, RuntimeError):
            seen = None  # not shown yet, or changed while it was read
        if seen == expected:
            return 0
        time.sleep(0.1)
    print(f"{what}: read {seen!r}, expected {expected!r}", file=sys.stderr)
    return 1


sys.exit(main(*sys.argv[1:]))
