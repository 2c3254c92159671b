#!/usr/bin/python3
"""A gallery of four random sets with Matplotlib, through the Python module.

Each set is the next of one seed's search stream (the sets --explore draws),
drawn from 4,096 orbits in the depth tone, and titled with its chaos screen.

Usage: python_gallery.py [OUT.png [SIDE [SEED]]]
"""
import sys

import matplotlib

if __name__ == "__main__":
    matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import ktdravune3d as kt  # noqa: E402


def framed(found, side):
    """A random set as a print: turned a little, fitted to its frame, in the depth tone."""
    found.tone = "depth"
    found.palette = "inferno"
    found.background = "black"
    found.size = side
    found.spp = 20
    found.orbits = 4096
    found.rotation = (25, 0, 0)
    found.fit = True
    found.tone_brightness = 3
    return found


def gallery(seed=7, side=400):
    figure, axes = plt.subplots(2, 2, figsize=(8, 8.6), facecolor="black")
    for ax, found in zip(axes.flat, kt.random_sets(seed)):
        verdict = kt.screen(found)
        image = kt.render(framed(found, side))
        ax.imshow(image.rgb)
        ax.set_title(f"n = {found.n}, L = {verdict.lyapunov:.3f}, FD = {verdict.fractal_dimension:.3f}",
                     color="white", fontsize=10)
        ax.set_axis_off()
    figure.suptitle(f"ktdravune3d.random_sets({seed})", color="white")
    figure.tight_layout()
    return figure


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "python-gallery.png"
    side = int(sys.argv[2]) if len(sys.argv) > 2 else 400
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    gallery(seed, side).savefig(out, facecolor="black")
