#!/bin/bash
# Layers call only downwards. Each folder below is a layer, lowest first; a
# file of a layer includes, by bare name, the headers of its own layer and of
# the layers below it. A file's layer is the top folder it stands in, at any
# depth below it (screens/files/x.h is of screens/), and a header name stands
# in one folder only.
set -u
src=${1:?source folder}
layers=(platform lib controller toolkit shell screens app)

# The files of a layer with the ending, at any depth, in a steady order.
filesOf() {
    [ -d "$src/$1" ] || return 0
    find "$src/$1" -type f -name "*.$2" | LC_ALL=C sort
}

declare -A layerOf rankOf folderOf
fail=0
for rank in "${!layers[@]}"; do
    layer=${layers[$rank]}
    while IFS= read -r header; do
        name=${header##*/}
        where=${header#"$src"/}
        if [ -n "${layerOf[$name]:-}" ]; then
            echo "$where: a header of this name is in ${folderOf[$name]}/ too"
            fail=1
            continue
        fi
        layerOf[$name]=$layer
        rankOf[$name]=$rank
        folderOf[$name]=${where%/*}
    done < <(filesOf "$layer" h)
done

for rank in "${!layers[@]}"; do
    layer=${layers[$rank]}
    while IFS= read -r file; do
        where=${file#"$src"/}
        while IFS=: read -r line name; do
            if [ -z "${layerOf[$name]:-}" ]; then
                echo "$where:$line: includes \"$name\", which no layer holds"
                fail=1
            elif [ "${rankOf[$name]}" -gt "$rank" ]; then
                echo "$where:$line: includes \"$name\" of ${layerOf[$name]}/, a layer above $layer/"
                fail=1
            fi
        done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" |
            sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
    done < <(filesOf "$layer" h; filesOf "$layer" cpp)
done

if [ "$fail" -ne 0 ]; then
    echo "an include points up a layer or out of the layers (the order: ${layers[*]})"
    exit 1
fi
echo "layers call only downwards"
