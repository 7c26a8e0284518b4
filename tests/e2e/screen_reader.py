# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader is told while keys are typed into the real program: each key is typed with
xdotool, the AT-SPI events that follow it are printed, and every new readout must reach the object
that has the focus. Run with the program started, on its own D-Bus session."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# Each key as xdotool names it, and the readout it leads to; None: the readout stays.
STEPS = [("7", "7,"), ("plus", None), ("1", "1,"), ("equal", "8"),
         ("asterisk", None), ("3", "3,"), ("Return", "24")]
KINDS = ("object:property-change", "object:text-changed", "object:value-changed")
seen = []


def record(event):
    source = event.source
    # Qt sends the changed object, not its new text: the text is read back at once.
    text = source.description if event.type.endswith("description") else source.name
    seen.append((event.type, source.getRoleName(), source.name, text,
                 source.getState().contains(pyatspi.STATE_FOCUSED)))


def heard(text):
    return any(kind.endswith("description") and said == text and focused
               for kind, _, _, said, focused in seen)


def press(key, done, seconds):
    subprocess.run(["xdotool", "key", key], check=True)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not done():
        GLib.MainContext.default().iteration(False) or time.sleep(0.01)


# The program sends only the events someone listens to, and Qt can miss a listener that comes while
# it joins the accessibility bus: listen afresh until a typed digit is heard, then clear.
for attempt in range(20):
    pyatspi.Registry.registerEventListener(record, *KINDS)
    press("9", lambda: seen, 0.5)
    if seen:
        break
    pyatspi.Registry.deregisterEventListener(record, *KINDS)
print(f"heard after {attempt + 1} digits typed")
press("c", lambda: heard("0,"), 5)

failed = []
for key, readout in STEPS:
    seen.clear()
    press(key, lambda: readout is not None and heard(readout), 5 if readout else 0.5)
    print(f"{key}:" + "".join(f"\n  {kind} on {role} '{name}'{' (focused)' * focused}: '{text}'"
                              for kind, role, name, text, focused in seen))
    if readout and not heard(readout):
        failed.append(f"after {key}, the focused object did not describe itself as '{readout}'")
print("\n".join(failed) or "every new readout reached the focused object")
sys.exit(1 if failed else 0)
