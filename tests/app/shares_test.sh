#!/usr/bin/env bash
# A gallery, a turntable's frames, a turntable's WebP file and many-orbit
# stills drawn as three shares run side by side by GNU parallel, each in its
# own process, against the same drawn by one run: every file of the one run,
# the gallery's page included, must be there byte for byte.
set -euo pipefail
render="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
gallery=(--explore 7 --seed 11 --size 200 --iterations 200k --filter normalize --quiet)
turntable=(--turntable 7 --size 200 --iterations 200k --fit --quiet)
# Transparent, so that the frames the shares keep aside must keep their alpha.
clear=(--turntable 5 --size 200 --iterations 200k --formula 2 --tone density --background none --quiet)

"$render" "${gallery[@]}" -o "$work/one"
"$render" "${turntable[@]}" -o "$work/turn/"
"$render" "${clear[@]}" -o "$work/one.webp"
# --will-cite: parallel would otherwise ask once per user.
parallel --will-cite --halt now,fail=1 "$render" "${gallery[@]}" --part {}/3 -o "$work/shares" ::: 1 2 3
parallel --will-cite --halt now,fail=1 "$render" "${turntable[@]}" --part {}/3 -o "$work/turnshares/" ::: 1 2 3
parallel --will-cite --halt now,fail=1 "$render" "${clear[@]}" --part {}/3 -o "$work/shares.webp" ::: 1 2 3

compare() {
    local one="$1" shares="$2" expected="$3" count=0
    for file in "$one"/*; do
        cmp "$file" "$shares/$(basename "$file")"
        count=$((count + 1))
    done
    [ "$count" -eq "$expected" ] || { echo "expected $expected files from one run in $one, found $count"; exit 1; }
    echo "the shares hold the $count files of one run in $one"
}
compare "$work/one" "$work/shares" 16
compare "$work/turn" "$work/turnshares" 7
[ "$(ls "$work/turnshares" | wc -l)" -eq 7 ] || { echo "the turntable's shares wrote more than its frames"; exit 1; }
cmp "$work/one.webp" "$work/shares.webp"
for left in "$work/shares.webp.parts" "$work/shares.webp.joining"; do
    [ ! -e "$left" ] || { echo "the WebP's shares left $left behind"; exit 1; }
done
echo "the shares wrote the WebP file of one run and removed their frames"

# Stills of many orbits: a tone supersampled and fitted (the fit is the whole
# picture's in every share), and hit colouring turned and filtered.
stills=("--size 120x120 --orbits 64 --iterations 300k --tone density --supersample 2 --fit"
        "--size 200 --orbits 64 --iterations 300k --rotate 30,45,0 --filter equalize")
for k in 0 1; do
    read -r -a still <<<"${stills[$k]}"
    "$render" "${still[@]}" --quiet -o "$work/still$k.png"
    parallel --will-cite --halt now,fail=1 "$render" "${still[@]}" --quiet --part {}/3 -o "$work/shares$k.png" ::: 1 2 3
    cmp "$work/still$k.png" "$work/shares$k.png"
    # One after another, the last first; until every share is in, no picture.
    for part in 3 1; do
        "$render" "${still[@]}" --quiet --part $part/3 -o "$work/late$k.png"
        [ ! -e "$work/late$k.png" ] || { echo "a still was written before all its shares were drawn"; exit 1; }
    done
    "$render" "${still[@]}" --quiet --part 2/3 -o "$work/late$k.png"
    cmp "$work/still$k.png" "$work/late$k.png"
    for left in "$work/shares$k.png.parts" "$work/late$k.png.parts" "$work/late$k.png.joining"; do
        [ ! -e "$left" ] || { echo "a still's shares left $left behind"; exit 1; }
    done
done
echo "the shares of each still wrote the picture of one run, in either order, and only once all were drawn"
