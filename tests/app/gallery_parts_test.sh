#!/usr/bin/env bash
# A gallery drawn as three shares run side by side by GNU parallel, each in
# its own process, against the same gallery drawn by one run: every file of
# the one run, the page included, must be there byte for byte.
set -euo pipefail
render="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
gallery=(--explore 7 --seed 11 --size 200 --iterations 200k --filter normalize --quiet)

"$render" "${gallery[@]}" -o "$work/one"
# --will-cite: parallel would otherwise ask once per user.
parallel --will-cite --halt now,fail=1 "$render" "${gallery[@]}" --part {}/3 -o "$work/shares" ::: 1 2 3

count=0
for file in "$work/one"/*; do
    cmp "$file" "$work/shares/$(basename "$file")"
    count=$((count + 1))
done
[ "$count" -eq 16 ] || { echo "expected 16 files from one run, found $count"; exit 1; }
echo "the shares hold the $count files of one run"
