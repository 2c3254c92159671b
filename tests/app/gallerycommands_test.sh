#!/usr/bin/env bash
# Every gallery entry's reproduce command, run in the gallery's folder as the
# README says, must give the very picture beside it, whatever setting drew
# the gallery: one gallery a setting, its first entry's command run there.
set -euo pipefail
render="$1"
maps="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$render" "$work/bin/ktdravune3d-render"
cp "$maps/firestrm.map" "$work/my.map"
cd "$work"
settings=(
    ""
    "--depth 16"
    "--background none"
    "--palette my.map"
    "--palette 2"
    "--tone hit"
    "--coloring z"
    "--filter normalize --nadjust 3"
    "--brightness 2 --gamma 1.5"
    "--supersample 2"
    "--rotate 10,20,30 --order ZXY"
    "--background 10,20,30"
    "--margin 0.2"
    "--spp 0.5"
    "--formula 2"
)
for setting in "${settings[@]}"; do
    rm -rf g
    steps="--iterations 20k"
    [[ "$setting" != *--spp* ]] || steps=""
    # shellcheck disable=SC2086
    "$render" --explore 1 --seed 3 --size 200 $steps --quiet $setting -o g
    command="$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["entries"][0]["reproduce"])' g/gallery.json)"
    cp g/001.png drawn.png
    (cd g && PATH="$work/bin:$PATH" eval "$command")
    cmp drawn.png g/001.png || { echo "with '$setting': '$command' gives another picture"; exit 1; }
done
echo "each of ${#settings[@]} settings' commands gives the picture beside it"
