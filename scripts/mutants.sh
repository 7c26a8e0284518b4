#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants the faults of tests/mutants.txt one at a time in a git worktree of HEAD, rebuilds
# incrementally in a release build of its own, runs the tests and prints each fault as caught or
# missed, the share caught last. The developer's own source tree is never written to: the worktree
# (build/mutants-tree) and its build (build/mutants) both live under the build folder, and the
# worktree is reset to HEAD before the run, after every fault and on any exit.
#
#   scripts/mutants.sh [WORD]   only the faults whose name or file contains WORD
#
# The tests run for every fault are the Qt Test programs (MUTANTS_TESTS, a CTest regular
# expression); a fault whose block has a "tests:" line runs the tests it names as well.
# The list is read from the working copy, so a new fault can be tried before it is committed.
#
# The script is read whole before it starts (the braces around it), so it too may be edited
# during a run.
#
# Exit status: 0 when every fault could be planted and built, 1 when the list needs updating (an
# original text not found exactly once, a fault that no longer compiles, a test name that CTest
# does not know), 3 when the tree does not build or pass its tests before any fault is planted.
{
set -u
cd "$(dirname "$0")/.." || exit 3

tree=$(realpath -m "${MUTANTS_TREE:-build/mutants-tree}")
build=$(realpath -m "${MUTANTS_DIR:-build/mutants}")
programs=${MUTANTS_TESTS:-^tst_}
log=$build/mutants.log
started=$SECONDS

mkdir -p "$build" || exit 3
# Two runs at once would plant their faults in the same worktree. The lock is not handed on to
# the builds and tests, so a process a test leaves behind cannot hold it.
exec 9>"$build/.lock"
if ! flock -n 9; then
    echo "Another make mutants is running on $build."
    exit 3
fi
: >"$log"
# The list and its reader as they are now: a run takes an hour or more, and a fault is found again
# by its place in the list, so editing either meanwhile must not change what the run plants.
list=$build/mutants.txt
reader=$build/mutants.py
cp "${MUTANTS_LIST:-tests/mutants.txt}" "$list" || exit 3
cp scripts/mutants.py "$reader" || exit 3

# The worktree: reused when it is one of this repository's (the files HEAD did not change keep
# their time stamps, so the build stays incremental), made afresh when missing, refused otherwise.
head=$(git rev-parse --verify HEAD) || exit 3
common=$(git rev-parse --path-format=absolute --git-common-dir)
if [[ -e $tree ]]; then
    if [[ $(git -C "$tree" rev-parse --path-format=absolute --git-common-dir 2>/dev/null) != "$common" ||
        $(git -C "$tree" rev-parse --show-toplevel 2>/dev/null) != "$tree" ]]; then
        echo "$tree is not a worktree of this repository; move it away to run the faults."
        exit 3
    fi
    git -C "$tree" checkout -q --force --detach "$head" >>"$log" 2>&1 || exit 3
    git -C "$tree" clean -q -f -d >>"$log" 2>&1 || exit 3
else
    # -f: a worktree deleted by hand is still registered until git prunes it.
    git worktree add -q -f --detach "$tree" "$head" >>"$log" 2>&1 || exit 3
fi
reset_tree() { git -C "$tree" reset -q --hard; } # a fresh time stamp: ninja rebuilds the original
trap 'reset_tree 2>/dev/null' EXIT
trap 'exit 130' INT TERM
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
    echo "Measuring HEAD (${head:0:7}): uncommitted changes are left out."
fi

if [[ ! -f $build/build.ninja ]]; then
    (cd "$tree" && cmake --preset release -B "$build" -DKORVEX_BENCH=OFF) >>"$log" 2>&1 || exit 3
fi

if ! faults=$(cd "$tree" && python3 "$reader" "$list" names "${1:-}"); then
    exit 1
fi
if [[ -z $faults ]]; then
    echo "No fault of the list has '${1:-}' in its name or file."
    exit 0
fi
known=$(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p')
# Every extra test the chosen faults name, so that the tree is first seen to pass them all.
needed=$(cut -f3 <<<"$faults" | tr ' ' '\n' | grep -v '^-\?$' | sort -u | paste -s -d ' ')
for name in $needed; do
    if ! grep -qx "$name" <<<"$known"; then
        echo "LIST   the list names the test $name, which CTest does not know"
        exit 1
    fi
done

# build_and_test EXTRA: the Qt Test programs (a CTest test is named after its program), and the
# tests EXTRA names ("-" for none); the first failing test is enough to call a fault caught. The
# end-to-end tests start the program and helpers named after no test, so then everything is built.
# A failure counts only when the failed tests fail again: a test upset once by the load of the
# machine must not pass for a caught fault.
build_and_test() {
    local pattern=$programs targets
    if [[ $1 == - ]]; then
        targets=$(cd "$build" && ctest -N -R "$programs" | sed -n 's/^ *Test *#[0-9]*: //p')
    else
        pattern="$programs|^(${1// /|})\$"
        targets=all
    fi
    # shellcheck disable=SC2086 # one target per word
    cmake --build "$build" --target $targets >>"$log" 2>&1 9>&- || return 2
    (cd "$build" && ctest -R "$pattern" --stop-on-failure --output-on-failure --timeout 120) >>"$log" 2>&1 9>&- && return 0
    echo "--- the failed tests again" >>"$log"
    (cd "$build" && ctest --rerun-failed --output-on-failure --timeout 120) >>"$log" 2>&1 9>&- && return 3
    return 1
}

echo "Building and testing HEAD as it is (log: $log)"
if ! build_and_test "${needed:--}"; then
    echo "The tree does not build or pass its tests without any fault: nothing to measure."
    exit 3
fi

total=0 caught=0 broken=0
while IFS=$'\t' read -r index file extra name; do
    [[ -n $index ]] || continue
    echo "=== $file: $name" >>"$log"
    if ! (cd "$tree" && python3 "$reader" "$list" plant "$index") 2>>"$log"; then
        printf 'LIST   %s (%s): %s\n' "$name" "$file" "$(tail -n 1 "$log")"
        broken=$((broken + 1))
        continue
    fi
    build_and_test "$extra"
    outcome=$?
    reset_tree
    case $outcome in
    2)
        printf 'BUILD  %s (%s): the fault no longer compiles\n' "$name" "$file"
        broken=$((broken + 1))
        ;;
    1)
        printf 'caught %s (%s)\n' "$name" "$file"
        total=$((total + 1)) caught=$((caught + 1))
        ;;
    3)
        printf 'MISSED %s (%s): a test failed once, then passed\n' "$name" "$file"
        total=$((total + 1))
        ;;
    0)
        printf 'MISSED %s (%s)\n' "$name" "$file"
        total=$((total + 1))
        ;;
    esac
done <<<"$faults"

minutes=$(((SECONDS - started + 30) / 60))
printf 'ran %d faults of HEAD (%s) in %d h %02d min\n' "$((total + broken))" "${head:0:7}" \
    "$((minutes / 60))" "$((minutes % 60))"
if ((broken > 0)); then
    printf '%d faults of the list need updating\n' "$broken"
fi
if ((total > 0)); then
    awk -v c="$caught" -v t="$total" 'BEGIN { printf "caught %d of %d faults (%.1f%%)\n", c, t, 100 * c / t }'
fi
((broken == 0)) || exit 1
exit 0
}
