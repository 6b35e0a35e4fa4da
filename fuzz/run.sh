#!/bin/bash
# Runs every fuzz target of a fuzz build for a bounded time on a copy of its
# seed corpus (fuzz/corpus/<name without fuzz_>).
set -euo pipefail
build=${1:?fuzz build folder}
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for bin in "$build"/fuzz/fuzz_*; do
    [ -x "$bin" ] || continue
    name=$(basename "$bin")
    corpus=$(mktemp -d)
    seeds="$here/corpus/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    echo "fuzzing $name for ${seconds}s"
    if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
        "$corpus" >"$corpus.log" 2>&1; then
        tail -40 "$corpus.log"
        status=1
    fi
    rm -rf "$corpus" "$corpus.log"
done
exit $status
