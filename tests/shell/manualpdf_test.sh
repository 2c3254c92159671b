#!/bin/bash
# The user guide was built into a PDF whose first page shows text: rendered
# to a grey picture, a fair share of its pixels are dark.
set -euo pipefail
pdf="$1"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
[ -s "$pdf" ] || { echo "no guide at $pdf"; exit 1; }
pdftoppm -gray -r 50 -f 1 -l 1 "$pdf" "$scratch/page"
python3 - "$scratch"/page*.pgm <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
# A binary PGM: P5, width, height, maxval, then the pixels.
fields, at = [], 0
while len(fields) < 4:
    while data[at:at+1].isspace():
        at += 1
    start = at
    while not data[at:at+1].isspace():
        at += 1
    fields.append(data[start:at])
width, height = int(fields[1]), int(fields[2])
pixels = data[at + 1:]
dark = sum(1 for p in pixels if p < 128)
print(f"{width}x{height}, {dark} dark pixels")
sys.exit(0 if width > 0 and dark > len(pixels) // 200 else 1)
PY
