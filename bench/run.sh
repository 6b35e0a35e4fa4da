#!/bin/bash
# Benchmark (not a timed test): the program's start-up against two
# yardsticks, where its start-up time goes, and the CPU it uses idle in its
# main loop. The yardsticks are a bare Motif program of the same size, and
# the same bare program doing the work that the start-up must do: the
# scheme's plot colours and the password dialog's colours allocated, the
# icon files of the logo, the main menu's two looks and the password dialog
# loaded, the fonts of the labels and the password dialog opened, the two
# cursors made. A third yardstick does that work in the start-up's order
# and adds what the start-up sequence requires of every program in its
# place: the two clean-up scripts of the install tree run through the shell
# before the toolkit starts, and the synchronous section from the main
# window's realise to the painted start-up notice, with the work that falls
# inside it done with the display in synchronous requests. Pauses that the
# start-up sequence fixes are taken out (QEL_NAP_PERCENT=0, message server
# already running). Run from the repository after a build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-9}
idle=${IDLE_SECONDS:-30}
msgsim=$PWD/$build/sim/qel-msgsim
profiler=$PWD/$build/bench/libbench_profile.so
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

# ---- the required work, as the install tree names it ----
misc() { # the user's file, else the default one
    if [ -s "$root/u/qel/usr_data/misc/$1" ]; then echo "$root/u/qel/usr_data/misc/$1"; else echo "$root/u/qel/def_data/misc/$1"; fi
}
icon() {
    if [ -f "$root/u/qel/usr_data/icon/$1" ]; then echo "$root/u/qel/usr_data/icon/$1"; else echo "$root/u/qel/def_data/icon/$1"; fi
}
work=(--cursors)
# The plot colours (the X colour name of each counted line), which the
# scheme's colours are taken from, and the password dialog's three.
while read -r number _ xcolour _; do
    [[ "$number" =~ ^-?[0-9]+$ ]] && work+=(--colour "$xcolour")
done < <(grep -v '^!' "$(misc eplotcolors)")
work+=(--colour red --colour "forest green" --colour yellow)
# The labels' fonts (font-list entries 7 and 4) and the password dialog's.
mapfile -t fontlist < <(grep -v '^!' "$(misc efontlist)")
fonts=("${fontlist[7]}" "${fontlist[4]}" "-adobe-courier-bold-r-normal--18-*-iso8859-1"
    "-adobe-courier-medium-r-normal--14-*-iso8859-1")
while read -r f; do work+=(--font "$f"); done < <(printf '%s\n' "${fonts[@]}" | sort -u)
# The logo, both looks of the ten main-menu buttons, the password dialog's.
for f in LOGO.ICN OK.VOK CANCEL.VOK OEYES.VOK CEYES.VOK; do work+=(--icon "$(icon $f)"); done
menu_icons=()
for b in PWR_ON_OFF INITIALIZE LOAD_PROG EXECUTE PAUSE STATUS HELP UTILITIES FILE_UTIL PROG_FUNCT; do
    menu_icons+=(--icon "$(icon $b.VOK)" --icon "$(icon $b.MSK)")
done
work+=("${menu_icons[@]}")

# The same work in the start-up's order, after the two clean-up scripts:
# the scheme's colours before the main window is realised; in the
# synchronous section the logo with its icon, the cursors, the labels' fonts
# and the password dialog with its colours, fonts and icons; the main menu's
# icons after it.
steps=(--script "$root/usr/bin/KILL_QELIPC" --script "$root/usr/bin/KILL_XSERVER")
while read -r number _ xcolour _; do
    [[ "$number" =~ ^-?[0-9]+$ ]] && steps+=(--colour "$xcolour")
done < <(grep -v '^!' "$(misc eplotcolors)")
steps+=(--sync --icon "$(icon LOGO.ICN)" --logo --cursors)
while read -r f; do steps+=(--font "$f"); done < <(printf '%s\n' "${fonts[@]}" | sort -u)
steps+=(--colour red --colour "forest green" --colour yellow)
for f in OK.VOK CANCEL.VOK OEYES.VOK CEYES.VOK; do steps+=(--icon "$(icon $f)"); done
steps+=(--dialog --async "${menu_icons[@]}")

now_ms() { date +%s%3N; }
# Time from exec to the first output line holding $2, in ms.
time_to() {
    local out=$root/run.out
    local start end pid
    start=$(now_ms)
    "${@:3}" >"$out" 2>&1 </dev/null &
    pid=$!
    while ! grep -q "$2" "$out" 2>/dev/null; do
        if ! kill -0 $pid 2>/dev/null; then
            echo "benchmark: ${3##*/} ended before its main loop:" >&2
            cat "$out" >&2
            exit 1
        fi
        sleep 0.005
    done
    end=$(now_ms)
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    # The X server takes a while over a client that was killed; a program
    # started at once would wait for it and be timed with it.
    sleep 0.5
    eval "$1=$((end - start))"
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }
serve() {
    "$msgsim" serve --key-file "$root/usr/bin/XSRVR" --log /dev/null >/dev/null 2>&1 &
    server=$!
    sleep 0.2
}
unserve() {
    kill $server 2>/dev/null || true
    wait $server 2>/dev/null || true
    "$msgsim" remove --key-file "$root/usr/bin/XSRVR"
}

bare=()
fair=()
full=()
vok=()
# Exported, so that vok starts as directly as its yardsticks (not through env).
export QEL_NAP_PERCENT=0
for _ in $(seq "$runs"); do
    time_to t "^ready" "$build/bench/bench_bare"
    bare+=("$t")
    time_to t "^ready" "$build/bench/bench_bare" "${work[@]}"
    fair+=("$t")
    time_to t "^ready" "$build/bench/bench_bare" "${steps[@]}"
    full+=("$t")
    serve
    time_to t "^ChangeCursor" "$build/vok"
    vok+=("$t")
    unserve
done
unset QEL_NAP_PERCENT
b=$(median "${bare[@]}")
f=$(median "${fair[@]}")
w=$(median "${full[@]}")
v=$(median "${vok[@]}")
echo "start-up to main loop (median of $runs): vok ${v} ms"
echo "  bare Motif ${b} ms: ratio $(ratio "$v" "$b") (goal <= 1.5)"
echo "  bare Motif with the required work ${f} ms: ratio $(ratio "$v" "$f")"
echo "  bare Motif with the required work, scripts and synchronous section ${w} ms:" \
    "ratio $(ratio "$v" "$w") (goal <= 1.5)"

# ---- where the start-up goes, measured inside the process ----
# One line of fields name=ms or name=ms/calls per run; the median of each.
profile_of() {
    local file=$root/profile.txt
    rm -f "$file"
    for _ in $(seq "$runs"); do
        [ "$1" = vok ] && serve
        time_to t "$2" env QEL_NAP_PERCENT=0 QEL_BENCH_PROFILE="$file" LD_PRELOAD="$profiler" "${@:3}"
        [ "$1" = vok ] && unserve
    done
    local out="" field
    for field in total cpu sync scripts colours icons fonts; do
        local ms calls
        ms=$(median $(grep -o "$field=[0-9.]*" "$file" | cut -d= -f2))
        calls=$(grep -o "$field=[0-9.]*/[0-9]*" "$file" | head -1 | cut -d/ -f2 || true)
        eval "p_$field=$ms"
        out+="$field ${ms} ms${calls:+ (${calls})}, "
    done
    local rest
    rest=$(awk "BEGIN {printf \"%.1f\", $p_total - $p_scripts - $p_colours - $p_icons - $p_fonts}")
    echo "  $1: ${out}the rest ${rest} ms"
}
echo "where the start-up goes (median of $runs, ms in the process up to its main loop; calls in brackets;"
echo "cpu is the process's own processor time from its start; the synchronous section overlaps the others; the rest is"
echo "the total less scripts, colours, icons and fonts; the cursors count as fonts):"
profile_of vok "^ChangeCursor" "$build/vok"
vok_total=$p_total vok_cpu=$p_cpu
profile_of "bare Motif" "^ready" "$build/bench/bench_bare"
bare_total=$p_total bare_cpu=$p_cpu
profile_of "bare Motif with the required work" "^ready" "$build/bench/bench_bare" "${work[@]}"
work_total=$p_total work_cpu=$p_cpu
profile_of "bare Motif with the required work, scripts and synchronous section" "^ready" \
    "$build/bench/bench_bare" "${steps[@]}"
echo "vok's ratios in the process: total $(ratio "$vok_total" "$bare_total") to bare Motif," \
    "$(ratio "$vok_total" "$work_total") to bare Motif with the required work," \
    "$(ratio "$vok_total" "$p_total") with the scripts and synchronous section too;" \
    "cpu $(ratio "$vok_cpu" "$bare_cpu"), $(ratio "$vok_cpu" "$work_cpu") and $(ratio "$vok_cpu" "$p_cpu")"

hz=$(getconf CLK_TCK)
# CPU share of a program over $idle s in its main loop, once it printed $1.
idle_cpu() {
    local marker=$1
    shift
    "$@" >"$root/idle.out" 2>&1 </dev/null &
    local pid=$!
    while ! grep -q "$marker" "$root/idle.out" 2>/dev/null; do sleep 0.1; done
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

# The copy screen: a folder of 10,000 files listed, and a pattern walk over
# 10,000 files (its own private X server and sandbox).
"$build/bench/bench_filecopy" 2>/dev/null | grep 'ratio'
