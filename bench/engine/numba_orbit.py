#!/usr/bin/env python3
"""The orbit and its histogram the way a notebook author writes them with
Numba, against the batch renderer with the exact orbit and with many orbits,
in one run: the built-in set of formula 1, flat, 600 pixels, 20M steps.

    apt-get install python3-numba
    /usr/bin/python3 bench/engine/numba_orbit.py build/release/src/app/ktdravune3d-render

Each contender runs in turn, three times; the best of each is reported in
steps a second, with the ratios.
"""
import subprocess
import sys
import tempfile
import time

import numba
import numpy as np

SIDE = 600
STEPS = 20_000_000


@numba.njit(cache=False, fastmath=False)
def icon_histogram(a, b, c, d, e, n, scale, x, y, steps, side):
    """Formula 1's orbit in doubles from (x, y), its first 1,000 steps
    dropped, counted into a side x side histogram."""
    counts = np.zeros((side, side), np.uint32)
    for i in range(steps):
        zzbar = x * x + y * y
        # z^(n-1), one product at a time
        u, v = x, y
        for _ in range(n - 2):
            u, v = u * x - v * y, v * x + u * y
        rezn = u * x - v * y
        partial = a * zzbar + d + b * rezn
        x, y = partial * x + c * u - e * y, partial * y - c * v + e * x
        if i < 1000:
            continue
        col = int((x + scale) * side / (2 * scale))
        row = int((y + scale) * side / (2 * scale))
        if 0 <= col < side and 0 <= row < side:
            counts[row, col] += 1
    return counts


def orbit_histogram(steps, side):
    return icon_histogram(-2.29, -1.43, 0.3, 2.35, 0.0, 11, 1.0, 0.1, 0.003, steps, side)


def numba_rate():
    orbit_histogram(10_000, SIDE)  # compile outside the timing
    start = time.perf_counter()
    counts = orbit_histogram(STEPS, SIDE)
    elapsed = time.perf_counter() - start
    assert counts.sum() > STEPS // 2
    return STEPS / elapsed


def renderer_rate(renderer, orbits, threads):
    with tempfile.TemporaryDirectory() as folder:
        start = time.perf_counter()
        subprocess.run([renderer, "--size", str(SIDE), "--iterations", str(STEPS), "--orbits", str(orbits),
                        "--threads", str(threads), "--quiet", "-o", folder + "/icon.tga"], check=True)
        return STEPS / (time.perf_counter() - start)


def main():
    renderer = sys.argv[1]
    ways = {
        "numba, 1 thread": numba_rate,
        "exact orbit, 1 thread": lambda: renderer_rate(renderer, 1, 1),
        "4096 orbits, 1 thread": lambda: renderer_rate(renderer, 4096, 1),
        "4096 orbits, 2 threads": lambda: renderer_rate(renderer, 4096, 2),
    }
    best = {name: 0.0 for name in ways}
    for _ in range(3):
        for name, way in ways.items():
            best[name] = max(best[name], way())
    numba_best = best["numba, 1 thread"]
    for name, rate in best.items():
        print(f"{name:24} {rate / 1e6:8.1f}M steps/s  {rate / numba_best:5.2f} x numba")


if __name__ == "__main__":
    main()
