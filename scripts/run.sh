#!/usr/bin/env bash
# Builds the programs and starts them. Until the desktop window exists, this
# renders the built-in icon with the batch renderer and says where it went.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKT_BENCHMARKS=OFF
cmake --build build/release -j "$(nproc)"

out="$PWD/icon.png"
build/release/src/app/ktdravune3d-render --iterations 5M -o "$out" "$@"
echo "The built-in icon of formula 1 is in $out"
