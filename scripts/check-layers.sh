#!/usr/bin/env bash
# Checks that every source under src/ includes only its own folder and the folders below it,
# and that only api/ includes the public header (the exports are called from outside alone).
# interchange/ sits above the public header like the tool: it includes the header and its own
# folder, nothing of the library's inside.
# The layers, top to bottom; folders on one line are siblings and do not include each other.
# pe/ holds the PE library and the resource-module service with both its backends (the
# Win32 one included), so it sits above core/ and platform/ and below everything that edits
# modules.
# Usage: scripts/check-layers.sh [source root]   (prints each wrong include; exit 1 if any)
set -euo pipefail
root=${1:-"$(dirname "$0")/../src"}

layers=(
    "interchange"
    "api"
    "tools"
    "rtedit"
    "text"
    "table"
    "items"
    "pe"
    "core"
    "platform"
)

declare -A rank
for i in "${!layers[@]}"; do
    for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

status=0
while IFS= read -r -d '' file; do
    relative=${file#"$root"/}
    own=${relative%%/*}
    if [[ -z ${rank[$own]+set} ]]; then
        echo "$relative: folder '$own' is in no layer"
        status=1
        continue
    fi
    line=0
    while IFS= read -r text; do
        line=$((line + 1))
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"Ril4410\.h\" && $own != api && $own != interchange ]]; then
            echo "$relative:$line: includes the public header outside 'api/'"
            status=1
        fi
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^/\"]+)/ ]] || continue
        folder=${BASH_REMATCH[1]}
        [[ $folder == "$own" ]] && continue
        if [[ $own == interchange ]]; then
            echo "$relative:$line: includes '$folder/': interchange/ reads the library through its exports alone"
            status=1
            continue
        fi
        if [[ -z ${rank[$folder]+set} ]]; then
            echo "$relative:$line: includes '$folder/', which is in no layer"
            status=1
        elif ((rank[$folder] <= rank[$own])); then
            echo "$relative:$line: includes '$folder/', which is not below '$own/'"
            status=1
        fi
    done <"$file"
done < <(find "$root" -mindepth 2 -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
exit $status
