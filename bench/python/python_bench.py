#!/usr/bin/python3
"""How the Python module compares, in one run on one machine:

- the same picture rendered and saved through Python and by the batch
  renderer (--picture, the same file), for Python's overhead;
- the orbit and its 2-D histogram as a notebook author writes them with
  Numba, against the module's exact orbit and its 4,096 orbits;
- two renders on two Python threads against the same two one after the
  other, which only a render that releases the GIL can beat.

Usage: python_bench.py BUILD_DIR [STEPS]   (BUILD_DIR of an optimised build)
"""
import os
import subprocess
import sys
import tempfile
import threading
import time

build = os.path.abspath(sys.argv[1])
steps = int(float(sys.argv[2])) if len(sys.argv) > 2 else 20_000_000
sys.path.insert(0, os.path.join(build, "python"))

import ktdravune3d as kt  # noqa: E402

# The notebook's way, as the engine benchmarks write it: the icon map in
# doubles, counted into a histogram.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "engine"))
from numba_orbit import icon_histogram  # noqa: E402

renderer = os.path.join(build, "src", "app", "ktdravune3d-render")
side = 1000
picture = kt.Picture(size=side, steps=steps)
rounds = 7


def timed(work):
    start = time.perf_counter()
    work()
    return time.perf_counter() - start


def contest(contenders):
    """Each contender's shortest time over a few rounds, each round running
    every contender once in turn, every other round in the opposite order: on
    a shared machine they all meet the same load and follow the same work,
    and the shortest run is the least disturbed."""
    times = {name: [] for name in contenders}
    order = list(contenders)
    for _ in range(rounds):
        for name in order:
            times[name].append(timed(contenders[name]))
        order.reverse()
    return {name: min(t) for name, t in times.items()}


def numba_render():
    p = picture
    x, y, _ = p.start
    return icon_histogram(p.alpha, p.beta, p.gamma, p.lambda_, p.omega, p.n, p.scale, x, y, p.steps, side)


pair = [kt.Picture(size=600, steps=steps // 4, rotation=(10, 20, 0)),
        kt.Picture(formula=2, size=600, steps=steps // 4, rotation=(10, 20, 0))]


def one_after_the_other():
    for p in pair:
        kt.render(p, threads=1)


def side_by_side():
    threads = [threading.Thread(target=kt.render, args=(p,), kwargs={"threads": 1}) for p in pair]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


orbits_picture = kt.Picture(size=side, steps=steps, orbits=4096)
numba_render()  # compiled before it is timed
with tempfile.TemporaryDirectory() as folder:
    text = os.path.join(folder, "picture.json")
    with open(text, "w") as f:
        f.write(picture.to_text())
    through_python = os.path.join(folder, "python.png")
    through_renderer = os.path.join(folder, "batch.png")
    # The overhead on its own, the pair alternating closely.
    best = contest({
        "python": lambda: kt.render(picture).save(through_python),
        "batch": lambda: subprocess.run([renderer, "--quiet", "--picture", text, "-o", through_renderer], check=True),
    })
    best.update(contest({
        "numba": numba_render,
        "exact": lambda: kt.render(picture),
        "orbits": lambda: kt.render(orbits_picture),
    }))
    best.update(contest({"sequential": one_after_the_other, "parallel": side_by_side}))
    with open(through_python, "rb") as a, open(through_renderer, "rb") as b:
        same = a.read() == b.read()

print(f"picture: the built-in set of formula 1, {side} x {side}, {steps:,} steps, {os.cpu_count()} processors, "
      f"shortest of {rounds} rounds")
print(f"render and save, through Python: {best['python']:.3f} s; batch renderer: {best['batch']:.3f} s; "
      f"overhead {100 * (best['python'] / best['batch'] - 1):+.1f} % (files identical: {same})")
print(f"Numba orbit and histogram: {best['numba']:.3f} s; module, exact orbit: {best['exact']:.3f} s "
      f"(Numba's time / the module's: {best['numba'] / best['exact']:.2f}); 4,096 orbits: {best['orbits']:.3f} s "
      f"({best['numba'] / best['orbits']:.2f})")
print(f"two turned renders of {steps // 4:,} steps on one thread each: one after the other "
      f"{best['sequential']:.3f} s, on two Python threads {best['parallel']:.3f} s "
      f"(ratio {best['parallel'] / best['sequential']:.2f})")
