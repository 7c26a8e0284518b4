# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the fault list of `make mutants` and plants one fault of it in a source tree.

    mutants.py LIST names [WORD]   one line per fault to run: index, file, extra tests or "-", name
    mutants.py LIST plant INDEX    plants the fault in the tree of the working folder
    mutants.py LIST check          plants nothing, reports every fault that cannot be planted

A fault is a block of the list:

    ## short name of the fault in words
    file: engine/operators.cpp
    tests: e2e_xvfb
    - exact original text (one line, may be part of a line)
    + replacement text

The "tests:" line is optional: the CTest tests, by name, that must run besides the Qt Test
programs because only they can see the fault (the end-to-end ones).

Several -/+ pairs in one block are planted together, each original being found in the file as it
was before any of them: that is how two rows' actions are swapped. Blank lines end a block; lines
starting with "#" outside a block are comments.

A fault whose original text is not found exactly once is an error of the list (exit status 2):
the code has moved on and the list must follow it, it is never skipped.
"""

import os
import sys


class ListError(Exception):
    pass


def parse(path):
    faults = []
    fault = None
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle.read().split("\n"), 1):
            where = f"{path}:{number}"
            if line.startswith("## "):
                fault = {"name": line[3:].strip(), "file": None, "tests": [], "pairs": [], "where": where}
                faults.append(fault)
            elif not line.strip():
                fault = None
            elif fault is None:
                if not line.startswith("#"):
                    raise ListError(f"{where}: text outside a fault block")
            elif line.startswith("file: "):
                fault["file"] = line[6:].strip()
            elif line.startswith("tests: "):
                fault["tests"] += line[7:].split()
            elif line.startswith("- ") or line == "-":
                fault["pairs"].append([line[2:], None])
            elif line.startswith("+ ") or line == "+":
                if not fault["pairs"] or fault["pairs"][-1][1] is not None:
                    raise ListError(f"{where}: a replacement without its original")
                fault["pairs"][-1][1] = line[2:]
            else:
                raise ListError(f"{where}: not a file, tests, - or + line")
    for fault in faults:
        if not fault["file"] or not fault["pairs"] or fault["pairs"][-1][1] is None:
            raise ListError(f"{fault['where']}: a fault needs a file and -/+ pairs")
        if any(not original for original, _ in fault["pairs"]):
            raise ListError(f"{fault['where']}: an empty original text")
    return faults


def planted(text, pairs):
    """The text with every pair replaced at once, or the reason it cannot be."""
    spots = []
    for original, replacement in pairs:
        count = text.count(original)
        if count != 1:
            raise ListError(f"{original!r} occurs {count} times, not once")
        start = text.index(original)
        spots.append((start, start + len(original), replacement))
    spots.sort()
    for (_, end, _), (start, _, _) in zip(spots, spots[1:]):
        if start < end:
            raise ListError("two originals overlap")
    pieces, last = [], 0
    for start, end, replacement in spots:
        pieces += [text[last:start], replacement]
        last = end
    return "".join(pieces) + text[last:]


def main(arguments):
    faults = parse(arguments[0])
    if arguments[1] == "names":
        word = arguments[2] if len(arguments) > 2 else ""
        for index, fault in enumerate(faults):
            if word.lower() in (fault["name"] + " " + fault["file"]).lower():
                tests = " ".join(fault["tests"]) or "-"
                print(f"{index}\t{fault['file']}\t{tests}\t{fault['name']}")
        return 0
    if arguments[1] == "check":
        errors = 0
        for fault in faults:
            try:
                with open(fault["file"], encoding="utf-8") as handle:
                    planted(handle.read(), fault["pairs"])
            except (ListError, OSError) as error:
                print(f"{fault['where']}: {fault['name']}: {error}")
                errors += 1
        print(f"{len(faults)} faults, {errors} cannot be planted")
        return 2 if errors else 0
    fault = faults[int(arguments[2])]
    path = fault["file"]
    if not os.path.isfile(path):
        raise ListError(f"no file {path}")
    with open(path, encoding="utf-8") as handle:
        text = handle.read()
    mutated = planted(text, fault["pairs"])
    with open(path, "w", encoding="utf-8") as handle:
        handle.write(mutated)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except ListError as error:
        print(error, file=sys.stderr)
        sys.exit(2)
