#!/bin/bash
# The common library, the platform layer and the controller link stay free of
# X: no X or Motif header in their sources, no X library in a binary built
# from them alone.
set -u
src=${1:?source folder}
bin=${2:?test binary}
hits=$(grep -nE '#include[[:space:]]*<(X11|Xm|Mrm)/' "$src"/lib/* "$src"/platform/* "$src"/controller/* 2>/dev/null)
if [ -n "$hits" ]; then
    echo "X headers in the X-free core:"
    echo "$hits"
    exit 1
fi
if ldd "$bin" | grep -E 'lib(X11|Xt|Xm|Mrm)\.' ; then
    echo "$bin links an X library"
    exit 1
fi
echo "core is X-free"
