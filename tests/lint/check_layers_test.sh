#!/bin/bash
# The layer lint on small trees: a tree whose includes point down passes; an
# include that points up a layer, a header of no layer and a header name in
# two layers each fail, naming the file, the line and the include. A file in
# a folder below a layer's folder (the screens' families) is of that layer.
set -u
lint=${1:?check_layers.sh}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0

# A tree: toolkit/a.h, shell/b.h and shell/b.cpp that include downwards, then
# the case's own files ("path:line" pairs, lines joined with \n).
lay() {
    local root=$1
    shift
    rm -rf "$root"
    mkdir -p "$root"/{platform,lib,controller,toolkit,shell,screens,app}
    printf '#pragma once\n' >"$root/toolkit/a.h"
    printf '#pragma once\n#include "a.h"\n' >"$root/shell/b.h"
    printf '#include "b.h"\n\n#include "a.h"\n#include <X11/Xlib.h>\n// #include "c.h"\n' \
        >"$root/shell/b.cpp"
    while [ $# -gt 0 ]; do
        mkdir -p "$(dirname "$root/$1")"
        printf '%b' "$2" >"$root/$1"
        shift 2
    done
}

# name, expected status, text the output must hold, then the case's files.
check() {
    local name=$1 want=$2 text=$3
    shift 3
    lay "$tmp/tree" "$@"
    local out status
    out=$(bash "$lint" "$tmp/tree" 2>&1)
    status=$?
    if [ "$status" -ne "$want" ] || [[ "$out" != *"$text"* ]]; then
        echo "FAIL $name: status $status (want $want), output:"
        echo "$out"
        failed=1
    else
        echo "ok   $name"
    fi
}

check "includes point down" 0 "layers call only downwards"
check "a toolkit source includes a shell header" 1 \
    'toolkit/a.cpp:3: includes "b.h" of shell/, a layer above toolkit/' \
    toolkit/a.cpp '#include "a.h"\n\n#include "b.h"\n'
check "a header of the core includes a toolkit header" 1 \
    'lib/x.h:2: includes "a.h" of toolkit/, a layer above lib/' \
    lib/x.h '#pragma once\n#include "a.h"\n'
check "the shell includes a screen" 1 \
    'shell/m.cpp:1: includes "s.h" of screens/, a layer above shell/' \
    screens/s.h '#pragma once\n' shell/m.cpp '#include "s.h"\n'
check "a screen includes the program's top" 1 \
    'screens/s.cpp:1: includes "w.h" of app/, a layer above screens/' \
    app/w.h '#pragma once\n' screens/s.cpp '#include "w.h"\n'
check "an indented include" 1 'controller/c.cpp:1: includes "a.h" of toolkit/' \
    controller/c.cpp '  #  include "a.h"\n'
check "a header of no layer" 1 'app/m.cpp:1: includes "gui.h", which no layer holds' \
    app/m.cpp '#include "gui.h"\n'
check "one header name in two layers" 1 'screens/a.h: a header of this name is in toolkit/ too' \
    screens/a.h '#pragma once\n'
check "screens of two families include each other and the layers below" 0 \
    "layers call only downwards" \
    screens/files/f.h '#pragma once\n#include "m.h"\n' screens/main/m.h '#pragma once\n' \
    screens/main/m.cpp '#include "m.h"\n#include "f.h"\n#include "b.h"\n' \
    app/w.cpp '#include "f.h"\n'
check "the shell includes a screen of a family" 1 \
    'shell/m.cpp:1: includes "f.h" of screens/, a layer above shell/' \
    screens/files/f.h '#pragma once\n' shell/m.cpp '#include "f.h"\n'
check "a screen of a family includes the program's top" 1 \
    'screens/service/s.cpp:1: includes "w.h" of app/, a layer above screens/' \
    app/w.h '#pragma once\n' screens/service/s.cpp '#include "w.h"\n'
check "one header name in two families" 1 \
    'screens/service/f.h: a header of this name is in screens/files/ too' \
    screens/files/f.h '#pragma once\n' screens/service/f.h '#pragma once\n'

exit $failed
