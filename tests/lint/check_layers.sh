#!/bin/bash
# Layers call only downwards. Each folder below is a layer, lowest first; a
# file of a layer includes, by bare name, the headers of its own layer and of
# the layers below it. A header's layer is its folder, so a header name
# stands in one layer folder only.
set -u
src=${1:?source folder}
layers=(platform lib controller toolkit shell screens app)

declare -A layerOf rankOf
fail=0
for rank in "${!layers[@]}"; do
    layer=${layers[$rank]}
    for header in "$src/$layer"/*.h; do
        [ -e "$header" ] || continue
        name=${header##*/}
        if [ -n "${layerOf[$name]:-}" ]; then
            echo "$layer/$name: a header of this name is in ${layerOf[$name]}/ too"
            fail=1
            continue
        fi
        layerOf[$name]=$layer
        rankOf[$name]=$rank
    done
done

for rank in "${!layers[@]}"; do
    layer=${layers[$rank]}
    for file in "$src/$layer"/*.h "$src/$layer"/*.cpp; do
        [ -e "$file" ] || continue
        where=$layer/${file##*/}
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
    done
done

if [ "$fail" -ne 0 ]; then
    echo "an include points up a layer or out of the layers (the order: ${layers[*]})"
    exit 1
fi
echo "layers call only downwards"
