#!/bin/bash
# Sets up and runs the program on a demo install tree with the simulated
# peers: the message server, and the controller simulator qel-ctlsim on the
# controller's and the probe changer's lines (its log: sim/controller.log of
# the tree; extra simulator options in $QEL_CTLSIM_ARGS). QEL_DEMO_CONTROLLER=B
# makes the station a family B one (its controller simulated as such; the
# default is A). With $DISPLAY set
# the program runs there (end it from its pause screen, or with Ctrl-C here);
# without a display it runs under Xvfb, and a screenshot of its main window
# is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target vok qel-msgsim qel-mktree qel-ctlsim

family=${QEL_DEMO_CONTROLLER:-A}
case "$family" in
A | B) ;;
*)
    echo "QEL_DEMO_CONTROLLER: A or B, not $family" >&2
    exit 2
    ;;
esac
root=${QEL_DEMO_ROOT:-$repo/build/demo-root}
# The sandbox path goes into shell commands as it stands: keep it plain.
if [[ ! "$root" =~ ^[A-Za-z0-9_./-]+$ ]]; then root=$(mktemp -d /tmp/qel-demo-XXXXXX); fi
msgsim=$repo/build/sim/qel-msgsim
[ -e "$root/usr/bin/XSRVR" ] && "$msgsim" remove --key-file "$root/usr/bin/XSRVR"
rm -rf "$root"
build/sim/qel-mktree --source demo --msgsim "$msgsim" --online --family "$family" "$root" >/dev/null
export QEL_SANDBOX=$root
# The suite's files4part stand-in is found through PATH; the word processor
# of view mode is the tree's stand-in (it logs what it would open).
export PATH="$root/sim/bin:$PATH"
export QEL_WORDPAD_DIR=${QEL_WORDPAD_DIR:-/C=/u/qel/xeq/wordpad.exe}
echo "demo install tree: $root"

xvfb_pid=""
vok_pid=""
ctlsim_pid=""
cleanup() {
    [ -n "$vok_pid" ] && kill "$vok_pid" 2>/dev/null || true
    [ -n "$ctlsim_pid" ] && kill "$ctlsim_pid" 2>/dev/null || true
    "$msgsim" remove --key-file "$root/usr/bin/XSRVR" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# The controller and the probe changer: the simulator links /dev/M_SERVO and
# /dev/M_PCHANGER of the tree to its pseudo-terminals.
# shellcheck disable=SC2086
build/sim/qel-ctlsim --root "$root" --changer --family "$family" ${QEL_CTLSIM_ARGS:-} >"$root/sim/ctlsim.out" 2>&1 &
ctlsim_pid=$!
for _ in $(seq 50); do [ -L "$root/dev/M_SERVO" ] && break; sleep 0.1; done
echo "controller simulator (family $family) log: $root/sim/controller.log"

if [ -n "${DISPLAY:-}" ]; then
    build/vok
    exit 0
fi

for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

build/vok >"$root/vok.out" 2>&1 </dev/null &
vok_pid=$!
for _ in $(seq 300); do grep -q '^ChangeCursor' "$root/vok.out" 2>/dev/null && break; sleep 0.1; done
sleep 1
shot=$root/main-window.png
import -window root "$shot"
echo "console of the program: $root/vok.out"
echo "screenshot of the main window: $shot"
