#!/bin/bash
# Benchmark (not a timed test): the program's start-up work against a bare
# Motif program of the same size, and the CPU it uses idle in its main loop.
# Pauses that the start-up sequence fixes are taken out (QEL_NAP_PERCENT=0,
# message server already running). Run from the repository after a build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-5}
idle=${IDLE_SECONDS:-30}
msgsim=$PWD/$build/sim/qel-msgsim
root=$(mktemp -d /tmp/qel-bench-XXXXXX)
"$build"/sim/qel-mktree --source demo --msgsim "$msgsim" --keep-server "$root" >/dev/null
export QEL_SANDBOX=$root

for n in $(seq 130 160); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
cleanup() {
    "$msgsim" remove --key-file "$root/usr/bin/XSRVR" 2>/dev/null || true
    kill $xvfb 2>/dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT
sleep 0.5

now_ms() { date +%s%3N; }
# Time from exec to the first output line holding $2, in ms.
time_to() {
    local out=$root/run.out
    local start end pid
    start=$(now_ms)
    "${@:3}" >"$out" 2>&1 </dev/null &
    pid=$!
    while ! grep -q "$2" "$out" 2>/dev/null; do sleep 0.005; done
    end=$(now_ms)
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    eval "$1=$((end - start))"
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

bare=()
vok=()
for _ in $(seq "$runs"); do
    time_to t "^ready" "$build/bench/bench_bare"
    bare+=("$t")
    "$msgsim" serve --key-file "$root/usr/bin/XSRVR" --log /dev/null >/dev/null 2>&1 &
    server=$!
    sleep 0.2
    time_to t "^ChangeCursor" env QEL_NAP_PERCENT=0 "$build/vok"
    vok+=("$t")
    kill $server 2>/dev/null || true
    wait $server 2>/dev/null || true
    "$msgsim" remove --key-file "$root/usr/bin/XSRVR"
done
b=$(median "${bare[@]}")
v=$(median "${vok[@]}")
echo "start-up to main loop: vok ${v} ms, bare Motif ${b} ms, ratio $(awk "BEGIN {printf \"%.2f\", $v / $b}") (goal <= 1.5)"

hz=$(getconf CLK_TCK)
# CPU share of a program over $idle s in its main loop, once it printed $1.
idle_cpu() {
    local marker=$1
    shift
    "$@" >"$root/idle.out" 2>&1 </dev/null &
    local pid=$!
    while ! grep -q "$marker" "$root/idle.out"; do sleep 0.1; done
    sleep 1
    local t0 t1
    t0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep "$idle"
    t1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    kill $pid
    wait $pid 2>/dev/null || true
    awk "BEGIN {printf \"%.3f\", ($t1 - $t0) * 100 / $hz / $idle}"
}
# Start-up starts the server (the sandbox's xserver script), so vok idles
# with its once-a-second poll active.
vok_idle=$(idle_cpu "^ChangeCursor" "$build/vok")
"$msgsim" remove --key-file "$root/usr/bin/XSRVR" 2>/dev/null || true
bare_idle=$(idle_cpu "^ready" "$build/bench/bench_bare")
echo "idle CPU over ${idle} s: vok ${vok_idle} %, bare Motif ${bare_idle} % (goal for vok < 0.5 %)"
