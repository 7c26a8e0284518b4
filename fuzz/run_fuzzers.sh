#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs each libFuzzer target of `make fuzz` for a bounded time. The first argument is the build
# folder, the second the seconds per target. The targets are those fuzz/CMakeLists.txt lists (it
# writes them to BUILD/fuzz/fuzz_targets.txt); FUZZ_TARGETS may name fewer. New inputs go to
# BUILD/fuzz-corpus/<target>; the committed corpus is read, never written.
#
# A failure counts only when running its saved input again, alone, fails too: a busy machine can
# make one input overrun the time limit. An input that passes on the rerun is kept under
# BUILD/fuzz-artifacts/unconfirmed/ and the target goes on for the rest of its time.
#
# To refresh the committed corpus with the inputs found, keep the smallest set that covers the
# same code:  BUILD/fuzz/fuzz_<target> -merge=1 fuzz/corpus/<target> BUILD/fuzz-corpus/<target>
set -euo pipefail
build=${1:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
seconds=${2:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
source_dir=$(cd "$(dirname "$0")" && pwd)
targets=${FUZZ_TARGETS:-$(cat "$build/fuzz/fuzz_targets.txt")}

# Runs the saved input three times alone; true when any run fails.
confirmed() {
    local program=$1 input=$2 run
    for run in 1 2 3; do
        "$program" -timeout=5 -rss_limit_mb=2048 "$input" >/dev/null 2>&1 || return 0
    done
    return 1
}

for target in $targets; do
    program="$build/fuzz/fuzz_$target"
    corpus="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts/$target"
    log="$build/fuzz-$target.log"
    mkdir -p "$corpus" "$artifacts" "$build/fuzz-artifacts/unconfirmed"
    echo "== fuzz_$target for $seconds s"
    : >"$log"
    end=$((SECONDS + seconds))
    while ((SECONDS < end)); do
        # -timeout bounds the time of one input: a slow reading is a failure too.
        if "$program" -max_total_time=$((end - SECONDS)) -timeout=5 -rss_limit_mb=2048 \
            -print_final_stats=1 -dict="$source_dir/dictionaries/$target.dict" \
            -artifact_prefix="$artifacts/" "$corpus" "$source_dir/corpus/$target" >>"$log" 2>&1; then
            break
        fi
        found=$(find "$artifacts" -maxdepth 1 -type f)
        if [[ -z $found ]]; then
            echo "fuzz_$target stopped without saving an input: see $log" >&2
            exit 1
        fi
        for input in $found; do
            if confirmed "$program" "$input"; then
                grep -a -A2 -E 'broken property|ERROR|SUMMARY' "$log" >&2 || true
                echo "fuzz_$target failed on $input (confirmed by a rerun): see $log" >&2
                exit 1
            fi
            echo "unconfirmed: $(basename "$input") passes when run again; going on"
            mv "$input" "$build/fuzz-artifacts/unconfirmed/$target-$(basename "$input")"
        done
    done
    grep -a -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' \
        "$log" | tail -5
    grep -a -E '^#[0-9]+.*DONE' "$log" | tail -1
done
