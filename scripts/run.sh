#!/usr/bin/env bash
# Builds the programs and starts the desktop program. Arguments are passed on:
# a parameter file to open.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build/app -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKT_BENCHMARKS=OFF
cmake --build build/app -j "$(nproc)"
exec build/app/src/app/ktdravune3d "$@"
