#!/bin/bash
# Runs every fuzz target of a fuzz build for a bounded time on a copy of its
# seed corpus (fuzz/corpus/<name without fuzz_>), each in a scratch folder of
# its own that is removed afterwards. A target that fails keeps its log and
# the input that made it fail in <build>/fuzz-findings/<target>/, and both
# are printed (the input in base64; run the target on the file to repeat).
set -euo pipefail
build=${1:?fuzz build folder}
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
findings="$build/fuzz-findings"
status=0
for bin in "$build"/fuzz/fuzz_*; do
    [ -x "$bin" ] || continue
    name=$(basename "$bin")
    scratch=$(mktemp -d)
    mkdir "$scratch/corpus" "$scratch/tmp"
    seeds="$here/corpus/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$scratch/corpus"/
    kept="$findings/$name"
    rm -rf "$kept"
    mkdir -p "$kept"
    echo "fuzzing $name for ${seconds}s"
    if TMPDIR="$scratch/tmp" "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 -artifact_prefix="$kept/" "$scratch/corpus" >"$kept/log" 2>&1; then
        rm -rf "$kept"
    else
        status=1
        echo "== $name FAILED; its log and input are kept in $kept"
        echo "== log (last 200 lines of $kept/log):"
        tail -n 200 "$kept/log"
        for input in "$kept"/*; do
            [ "$input" = "$kept/log" ] && continue
            echo "== input $input ($(stat -c %s "$input") bytes), base64:"
            base64 "$input"
            echo "== repeat with: $bin $input"
        done
    fi
    rm -rf "$scratch"
done
rmdir "$findings" 2>/dev/null || true
exit $status
