#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Counts the lines of C++ of the program, of its tests and of the tools, the one count the project
goes by, and writes it with the test list and the fault count into docs/testing.md.

    line_count.py               prints the count
    line_count.py --docs BUILD  rewrites the generated parts of docs/testing.md: the count, the
                                tests CTest knows in the configured folder BUILD (`ctest -N`) and
                                the faults of tests/mutants.txt

A line counts when it is neither blank nor only a // comment, in the *.cpp and *.h files git
knows or would add (ignored files left out). The program is engine/, functions/, conversion/ and
ui/; the tests are tests/ and fuzz/, whose harnesses assert properties of the program and replay
their corpus in every `make test`; bench/ and scripts/ are tools, counted apart. A C++ file in any
other folder stops the count: it must be given its part first.

A generated part of the document lies between "<!-- begin NAME -->" and "<!-- end NAME -->". The
test list keeps the description written beside each test name; a test without one is listed with
an empty description and makes the script fail, so that it gets one.
"""

import collections
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutants  # noqa: E402  the fault list's own reader

PARTS = {
    "Program": ["engine", "functions", "conversion", "ui"],
    "Tests": ["tests", "fuzz"],
    "Tools": ["bench", "scripts"],
}
COUNTED = re.compile(r"^\s*(//.*)?$")
DOCS = "docs/testing.md"
FAULTS = "tests/mutants.txt"


def count_lines():
    """Lines per top folder."""
    files = subprocess.run(
        ["git", "ls-files", "--cached", "--others", "--exclude-standard", "--", "*.cpp", "*.h"],
        check=True, capture_output=True, text=True).stdout.split()
    folders = {folder for part in PARTS.values() for folder in part}
    lines = collections.Counter({folder: 0 for folder in folders})
    for path in files:
        if not os.path.exists(path):  # deleted, not yet committed
            continue
        folder = path.split("/")[0]
        if folder not in folders:
            raise SystemExit(f"{path}: a C++ file in no part of the count")
        with open(path, encoding="utf-8") as handle:
            lines[folder] += sum(1 for line in handle if not COUNTED.match(line))
    return lines


def number(value):
    return f"{value:,}"


def count_table(lines):
    totals = {part: sum(lines[folder] for folder in folders) for part, folders in PARTS.items()}
    rows = ["| Part | Folders | C++ lines |", "|---|---|---|"]
    for part, folders in PARTS.items():
        split = " · ".join(f"`{folder}/` {number(lines[folder])}" for folder in folders)
        rows.append(f"| {part} | {split} | {number(totals[part])} |")
    share = totals["Tests"] / totals["Program"]
    rows += ["", f"The tests are {share:.2f} times as long as the program ({100 * share:.1f} %)."]
    return rows


def ctest_names(build):
    listing = subprocess.run(["ctest", "--test-dir", build, "-N"], check=True,
                             capture_output=True, text=True).stdout
    return re.findall(r"^\s*Test\s+#\d+: (\S+)$", listing, re.MULTILINE)


def test_table(names, old_rows):
    described = {}
    for row in old_rows:
        found = re.match(r"^\| `([^`]+)` \| (.*) \|$", row)
        if found:
            described[found.group(1)] = found.group(2)
    rows = ["| Test | What it checks |", "|---|---|"]
    rows += [f"| `{name}` | {described.get(name, '')} |" for name in names]
    return rows, [name for name in names if not described.get(name)]


def fault_sentence():
    faults = mutants.parse(FAULTS)
    folders = collections.Counter(fault["file"].split("/")[0] for fault in faults)
    split = ", ".join(f"{count} in `{folder}/`" for folder, count in sorted(
        folders.items(), key=lambda item: (PARTS["Program"] + [item[0]]).index(item[0])))
    extra = sum(1 for fault in faults if fault["tests"])
    return [f"The list holds {len(faults)} faults: {split}. For {extra} of them the list names "
            "end-to-end tests to run as well."]


def rewrite(text, name, rows):
    pattern = re.compile(rf"(<!-- begin {name} -->\n)(.*?)(<!-- end {name} -->)", re.DOTALL)
    if not pattern.search(text):
        raise SystemExit(f"{DOCS}: no generated part named {name}")
    return pattern.sub(lambda found: found.group(1) + "\n".join(rows) + "\n" + found.group(3),
                       text)


def old_block(text, name):
    found = re.search(rf"<!-- begin {name} -->\n(.*?)<!-- end {name} -->", text, re.DOTALL)
    return found.group(1).splitlines() if found else []


def main(arguments):
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    lines = count_lines()
    if not arguments:
        print("\n".join(count_table(lines)))
        return 0
    if arguments[0] != "--docs" or len(arguments) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(DOCS, encoding="utf-8") as handle:
        text = handle.read()
    tests, undescribed = test_table(ctest_names(arguments[1]), old_block(text, "tests"))
    text = rewrite(text, "count", count_table(lines))
    text = rewrite(text, "tests", tests)
    text = rewrite(text, "faults", fault_sentence())
    with open(DOCS, "w", encoding="utf-8") as handle:
        handle.write(text)
    for name in undescribed:
        print(f"{DOCS}: describe the test {name}", file=sys.stderr)
    return 1 if undescribed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
