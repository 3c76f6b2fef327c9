#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Refreshes the minimised corpus kept beside each fuzz target: runs every target for a while (default 60 s),
# then merges what it found with the kept corpus into the smallest set of inputs that keeps all coverage.
#     scripts/fuzz-corpus.sh [SECONDS [TARGET]]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
build=$root/build/sanitize
only=${2:-}
# Every fuzz target the sanitize build made, found where its folder's build lies.
find "$build" -path '*/CMakeFiles' -prune -o -type f -executable -name 'fuzz_*' -print | sort >"$build/fuzz-targets"
while IFS= read -r binary; do
    name=$(basename "$binary")
    folder=$(dirname "${binary#"$build"/}")
    [[ -n $only && $name != "$only" ]] && continue
    # Absolute paths: a target may change its current folder (the help archive's removes its work folder).
    kept=$root/$folder/fuzz/$name-corpus
    found=$build/$folder/$name-corpus
    mkdir -p "$kept" "$found"
    seeds=()
    [[ -d $root/$folder/fuzz/$name-seeds ]] && seeds=("$root/$folder/fuzz/$name-seeds")
    (cd "$build/$folder" && "./$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 "$found" "$kept" \
        "${seeds[@]}" </dev/null 2>&1 | grep -E "DONE|ERROR" || true)
    merged=$(mktemp -d)
    "$build/$folder/$name" -merge=1 "$merged" "$kept" "$found" "${seeds[@]}" </dev/null 2>&1 | grep -E "MERGE-OUTER: [0-9]+ new" || true
    rm -rf "$kept" && mv "$merged" "$kept"
    echo "$name: $(ls "$kept" | wc -l) inputs kept"
done <"$build/fuzz-targets"
