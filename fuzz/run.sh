#!/bin/bash
# Runs every fuzz target of a fuzz build for a bounded time on a copy of its
# seed corpus (fuzz/corpus/<name without fuzz_>), each in a scratch folder of
# its own that is removed afterwards. Targets run side by side, up to JOBS at
# a time (default: the number of processors). A target that fails keeps its
# log and the input that made it fail in <build>/fuzz-findings/<target>/, and
# both are printed (the input in base64; run the target on the file to
# repeat).
set -euo pipefail
build=${1:?fuzz build folder}
seconds=${2:-20}
jobs=${JOBS:-$(nproc)}
here=$(cd "$(dirname "$0")" && pwd)
findings="$build/fuzz-findings"

# One target: its verdict is whether its findings folder is still there.
fuzz_one() {
    local bin=$1 name scratch seeds kept
    name=$(basename "$bin")
    scratch=$(mktemp -d)
    mkdir "$scratch/corpus" "$scratch/tmp"
    seeds="$here/corpus/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$scratch/corpus"/
    kept="$findings/$name"
    rm -rf "$kept"
    mkdir -p "$kept"
    if TMPDIR="$scratch/tmp" "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 -artifact_prefix="$kept/" "$scratch/corpus" >"$kept/log" 2>&1; then
        rm -rf "$kept"
    fi
    rm -rf "$scratch"
}

targets=()
for bin in "$build"/fuzz/fuzz_*; do
    [ -x "$bin" ] && targets+=("$bin")
done
mkdir -p "$findings"
running=0
for bin in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    echo "fuzzing $(basename "$bin") for ${seconds}s"
    fuzz_one "$bin" &
    running=$((running + 1))
done
wait

status=0
for bin in "${targets[@]}"; do
    name=$(basename "$bin")
    kept="$findings/$name"
    [ -d "$kept" ] || continue
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
done
rmdir "$findings" 2>/dev/null || true
exit $status
