#!/bin/bash
# Every path reaches the OS through the platform seam: no raw open, fopen,
# stat, mkdir, system, ftok, opendir, chdir or unlink outside platform/, and
# no tree walk (ftw, nftw, fts, scandir, or folders read by openat and
# fstatat) either. The sources of each folder are read at any depth below it
# (the screens' family folders); /dev/null stands in for none, so that grep
# never waits on its input.
set -u
src=${1:?source folder}
mapfile -t sources < <(find "$src"/{lib,controller,toolkit,shell,screens,app} -type f \
    -name '*.cpp' 2>/dev/null | LC_ALL=C sort)
hits=$(grep -nE '(^|[^A-Za-z0-9_.>])((std)?::)?(open|fopen|stat|lstat|mkdir|system|ftok|opendir|chdir|unlink|remove|rename|execv|execvp|posix_spawn)[[:space:]]*\(' \
    "${sources[@]}" /dev/null 2>/dev/null |
    grep -vE '^\S+:[0-9]+:\s*//')
if [ -n "$hits" ]; then
    echo "system calls on paths that bypass the platform seam:"
    echo "$hits"
    exit 1
fi
walks=$(grep -nE '(^|[^A-Za-z0-9_.>])(::)?(n?ftw|fts_open|scandir|openat|fstatat)[[:space:]]*\(' \
    "${sources[@]}" /dev/null 2>/dev/null |
    grep -vE '^\S+:[0-9]+:\s*//')
if [ -n "$walks" ]; then
    echo "tree walks that bypass the platform seam:"
    echo "$walks"
    exit 1
fi
echo "seam intact"
