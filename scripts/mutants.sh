#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants the faults of tests/mutants.txt one at a time, rebuilds incrementally in a release build
# of its own, runs the test programs and prints each fault as caught or missed, the share caught
# last. The source is restored after every fault and on any exit, Ctrl+C included.
#
#   scripts/mutants.sh [WORD]   only the faults whose name or file contains WORD
#
# Exit status: 0 when every fault could be planted and built, 1 when the list needs updating (an
# original text not found exactly once, or a fault that no longer compiles), 3 when the tree
# does not build or pass its tests before any fault is planted.
set -u
cd "$(dirname "$0")/.." || exit 3

list=${MUTANTS_LIST:-tests/mutants.txt}
build=${MUTANTS_DIR:-build-mutants}
# The Qt Test programs, the window's included. The end-to-end run under Xvfb is slow and sees
# nothing the window tests miss; the fuzz replays and packaging checks look for crashes and files.
tests=${MUTANTS_TESTS:-^tst_}
log=$build/mutants.log
backup=$(mktemp -d)

restore() {
    (cd "$backup" && find . -type f) | while read -r file; do
        cp "$backup/$file" "$file" # a fresh time stamp: ninja rebuilds the original
        rm "$backup/$file"
    done
}
trap 'restore; rm -rf "$backup"' EXIT
trap 'exit 130' INT TERM

# Only the test programs are rebuilt (a CTest test is named after its program); the first
# failing test is enough to call a fault caught.
build_and_test() {
    local targets
    targets=$(cd "$build" && ctest -N -R "$tests" | sed -n 's/^ *Test *#[0-9]*: //p')
    # shellcheck disable=SC2086 # one target per word
    cmake --build "$build" --target $targets >>"$log" 2>&1 || return 2
    (cd "$build" && ctest -R "$tests" --stop-on-failure --timeout 120) >>"$log" 2>&1 || return 1
    return 0
}

if [[ ! -f $build/build.ninja ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 3
fi
mkdir -p "$build"
: >"$log"
if ! faults=$(python3 scripts/mutants.py "$list" names "${1:-}"); then
    exit 1
fi
echo "Building and testing the tree as it is (log: $log)"
if ! build_and_test; then
    echo "The tree does not build or pass its tests without any fault: nothing to measure."
    exit 3
fi

total=0 caught=0 broken=0
while IFS=$'\t' read -r index file name; do
    [[ -n $index ]] || continue
    echo "=== $file: $name" >>"$log"
    if ! python3 scripts/mutants.py "$list" plant "$index" "$backup" 2>>"$log"; then
        printf 'LIST   %s (%s): %s\n' "$name" "$file" "$(tail -n 1 "$log")"
        broken=$((broken + 1))
        continue
    fi
    build_and_test
    outcome=$?
    restore
    case $outcome in
    2)
        printf 'BUILD  %s (%s): the fault no longer compiles\n' "$name" "$file"
        broken=$((broken + 1))
        ;;
    1)
        printf 'caught %s (%s)\n' "$name" "$file"
        total=$((total + 1)) caught=$((caught + 1))
        ;;
    0)
        printf 'MISSED %s (%s)\n' "$name" "$file"
        total=$((total + 1))
        ;;
    esac
done <<<"$faults"

if ((total > 0)); then
    awk -v c="$caught" -v t="$total" 'BEGIN { printf "caught %d of %d faults (%.1f%%)\n", c, t, 100 * c / t }'
fi
if ((broken > 0)); then
    printf '%d faults of the list need updating\n' "$broken"
    exit 1
fi
exit 0
