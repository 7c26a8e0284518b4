#!/usr/bin/env bash
# Runs each libFuzzer target of `make fuzz` for a bounded time. The first argument is the build
# folder, the second the seconds per target. New inputs go to BUILD/fuzz-corpus/<target>; the
# committed corpus is read, never written. A broken property stops the run with the input saved
# under BUILD/fuzz-artifacts/.
#
# To refresh the committed corpus with the inputs found, keep the smallest set that covers the
# same code:  BUILD/fuzz/fuzz_<target> -merge=1 fuzz/corpus/<target> BUILD/fuzz-corpus/<target>
set -euo pipefail
build=${1:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
seconds=${2:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
source_dir=$(cd "$(dirname "$0")" && pwd)

for target in key_sequences text_to_number settings_text; do
    corpus="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts"
    mkdir -p "$corpus" "$artifacts"
    echo "== fuzz_$target for $seconds s"
    # -timeout bounds the time of one input: a slow reading is a failure too.
    if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        -print_final_stats=1 -dict="$source_dir/dictionaries/$target.dict" \
        -artifact_prefix="$artifacts/$target-" "$corpus" "$source_dir/corpus/$target" \
        >"$build/fuzz-$target.log" 2>&1; then
        grep -a -A2 -E 'broken property|ERROR|SUMMARY' "$build/fuzz-$target.log" >&2 || true
        echo "fuzz_$target failed: see $build/fuzz-$target.log and $artifacts" >&2
        exit 1
    fi
    grep -a -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' \
        "$build/fuzz-$target.log"
    grep -a -E '^#[0-9]+.*DONE' "$build/fuzz-$target.log" | tail -1
done
