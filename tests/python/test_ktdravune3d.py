"""The Python module against the batch renderer it must agree with.

Run by ctest with PYTHONPATH at the build's module and KT_RENDER naming the
batch renderer."""
import _thread
import copy
import json
import math
import os
import subprocess
import threading

import numpy as np
import pytest

import ktdravune3d as kt
from ktdravune3d import Picture

RENDERER = os.environ["KT_RENDER"]

# Every path a picture takes to its file: the hit tone with a filter and a
# turn, the density tone supersampled in a frame that is not square, the
# depth tone at 16 bits with an alpha from many orbits and a fit, and an
# 8-bit alpha.
PICTURES = {
    "hit": dict(size=200, steps=50_000),
    "turned-filtered": dict(formula=2, size=200, steps=50_000, rotation=(30, 45, 0), palette="inferno",
                            filter="normalize"),
    "density-supersampled": dict(size=(240, 200), spp=2, tone="density", supersample=2),
    "depth-16-transparent": dict(size=200, spp=5, tone="depth", orbits=4096, depth=16, background="none", fit=True),
    "density-transparent": dict(size=200, spp=5, tone="density", background="none", tone_brightness=2),
}


def run_renderer(*args):
    done = subprocess.run([RENDERER, "--quiet", *args], capture_output=True, text=True, check=True)
    return done.stdout


@pytest.mark.parametrize("name", PICTURES)
def test_render_saves_the_batch_renderers_file(name, tmp_path):
    picture = Picture(**PICTURES[name])
    (tmp_path / "picture.json").write_text(picture.to_text())
    run_renderer("--picture", str(tmp_path / "picture.json"), "-o", str(tmp_path / "batch.png"))
    image = kt.render(picture, threads=2)
    image.save(str(tmp_path / "python.png"))
    assert (tmp_path / "python.png").read_bytes() == (tmp_path / "batch.png").read_bytes()
    assert image._repr_png_() == (tmp_path / "batch.png").read_bytes()
    # TGA holds 8 bits without an alpha.
    if picture.depth == 8 and not picture.transparent:
        run_renderer("--picture", str(tmp_path / "picture.json"), "-o", str(tmp_path / "batch.tga"))
        image.save(str(tmp_path / "python.tga"))
        assert (tmp_path / "python.tga").read_bytes() == (tmp_path / "batch.tga").read_bytes()

    channels = 4 if picture.transparent else 3
    assert image.rgb.shape == (picture.height, picture.width, channels)
    assert image.rgb.dtype == (np.uint16 if picture.depth == 16 else np.uint8)
    if picture.depth == 8:
        from PIL import Image as PngImage
        assert np.array_equal(np.asarray(PngImage.open(tmp_path / "batch.png")), image.rgb)
    assert (image.depths is not None) == (picture.tone == "depth")


@pytest.mark.parametrize("orbits", [1, 4096])
def test_hits_add_up_to_the_plotted_steps(orbits):
    # The array outlives the image it views: it keeps the buffers alive.
    image = kt.render(Picture(size=300, steps=100_000, orbits=orbits), threads=2)
    hits = image.hits
    assert hits.dtype == np.float32 and hits.shape == (300, 300)
    # The first batch of 1,000 steps is never plotted.
    assert hits.sum(dtype=np.float64) == 99_000
    counts = image.hits_uint32()
    assert counts.dtype == np.uint32 and np.array_equal(counts, hits) and counts.sum() == 99_000


@pytest.mark.parametrize("picture, options", [
    (Picture.builtin(1), ["--formula", "1"]),
    (Picture.builtin(2), ["--formula", "2"]),
    (next(kt.random_sets(42)), ["--random", "--seed", "42"]),
    (Picture(alpha=9, beta=9), ["PARAMFILE"]),
])
def test_screen_says_what_the_screen_option_prints(picture, options, tmp_path):
    if options == ["PARAMFILE"]:
        picture.save(str(tmp_path / "set.dv3"))
        options = [str(tmp_path / "set.dv3")]
    result = kt.screen(picture)
    assert result.text == run_renderer("--screen", *options)
    assert result.verdict in result.text
    assert (result.lyapunov is None) == (result.verdict == "escape")


# From the built-in start point, and from a parameter file's.
@pytest.mark.parametrize("formula, start", [(1, None), (2, (0.2, 1.0, 0.0))])
def test_random_sets_are_the_explore_options_sets(formula, start, tmp_path):
    setfile = []
    if start:
        Picture(formula=formula, start=start).save(str(tmp_path / "set.dv3"))
        setfile = [str(tmp_path / "set.dv3")]
    run_renderer("--explore", "3", "--seed", "7", "--size", "200", "--iterations", "2k", "-o",
                 str(tmp_path / "gallery"), *setfile)
    entries = json.loads((tmp_path / "gallery" / "gallery.json").read_text())["entries"]
    explored = [Picture.from_text(json.dumps(entry["picture"])) for entry in entries]
    assert len(explored) == 3
    sets = kt.random_sets(7, formula=formula, start=start)
    # The gallery fits each entry's scale; the rest of the set is the search's.
    fields = ["formula", "alpha", "beta", "gamma", "lambda_", "omega", "n", "p", "start"]
    for entry, found in zip(explored, sets):
        assert [getattr(found, f) for f in fields] == [getattr(entry, f) for f in fields]
        assert kt.screen(found).passed


def test_renders_on_two_python_threads_give_what_each_gives_alone():
    pictures = [Picture(size=200, steps=300_000, rotation=(10, 20, 0)), Picture(formula=2, size=200, steps=300_000)]
    alone = [kt.render(p, threads=1) for p in pictures]
    together = [None, None]

    def draw(k):
        together[k] = kt.render(pictures[k], threads=1)

    threads = [threading.Thread(target=draw, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for a, b in zip(alone, together):
        assert np.array_equal(a.rgb, b.rgb) and np.array_equal(a.hits, b.hits)


# Renders of hours, so that only Ctrl-C ends them within the test's time;
# a fit runs the orbit through once before the render draws anything. The
# search screens all its 20,000 candidates from that start point in about
# half a second and fails: ended any other way it raises RuntimeError.
LONG_WORK = {
    "render": lambda shares: kt.render(Picture(size=200, steps=10**11), threads=2, progress=shares.append),
    "fit": lambda shares: kt.render(Picture(size=200, steps=10**11, fit=True), threads=2, progress=shares.append),
    "fit-orbits": lambda shares: kt.render(Picture(size=200, steps=10**11, fit=True, orbits=4096, tone="density"),
                                           threads=2, progress=shares.append),
    "search": lambda shares: next(kt.random_sets(3, formula=2, fd_limit=1.75, start=(1, 1, 0))),
}


@pytest.mark.parametrize("work", LONG_WORK.values(), ids=LONG_WORK.keys())
def test_keyboard_interrupt_stops_long_work(work):
    shares = []
    timer = threading.Timer(0.1, _thread.interrupt_main)
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        work(shares)
    timer.cancel()
    assert not shares or shares[-1] < 0.01


def test_progress_reaches_the_whole():
    shares = []
    kt.render(Picture(size=200, steps=20_000), progress=shares.append)
    assert shares[-1] == 1.0 and shares == sorted(shares)


def test_a_picture_keeps_to_its_text_its_file_and_its_repr(tmp_path):
    picture = Picture(formula=2, alpha=3.5, rotation=(10, 20, 30.5), background=(1, 2, 3), order="ZYX",
                      size=(640, 480), tone="depth", tone_gamma=2, spp=3)
    assert Picture.from_text(picture.to_text()) == picture
    assert Picture.from_text(picture.to_text(oneline=True)) == picture
    assert eval(repr(picture), {"Picture": Picture}) == picture
    assert copy.deepcopy(picture) == picture and copy.copy(picture) is not picture
    assert picture.steps == math.ceil(3 * 640 * 640)

    # A .dv3 holds the set, the background and the angles.
    inset = Picture(formula=2, alpha=3.5, rotation=(10, 20, 30.5), background=(1, 2, 3))
    inset.save(str(tmp_path / "set.dv3"))
    assert Picture.load(str(tmp_path / "set.dv3")) == inset
    assert Picture.load(str(tmp_path / "set.dv3")) != picture


def test_tone_colours_counts_as_the_render_tones_them():
    for settings in [dict(tone="density", size=200, spp=5, tone_brightness=3),
                     dict(tone="depth", size=(200, 160), spp=5, supersample=2, depth=16, palette="viridis")]:
        picture = Picture(**settings)
        image = kt.render(picture)
        toned = kt.tone(image.hits, palette=kt.palette(picture.palette), depths=image.depths,
                        background=picture.background, brightness=picture.tone_brightness,
                        supersample=picture.supersample, width=picture.width, height=picture.height,
                        depth=picture.depth)
        assert np.array_equal(toned, image.rgb)


# The filters but the log ones under the z colouring (which they refuse);
# without a filter the z colouring is drawn from depths the float32 counts
# round, and may differ by a level.
@pytest.mark.parametrize("name, coloring", [(f, c) for f in kt.FILTERS for c in ("hit", "z")
                                            if c == "hit" or f in ("normalize", "equalize")])
def test_filter_colours_counts_as_the_render_filters_them(name, coloring):
    picture = Picture(size=200, steps=50_000, filter=name, nadjust=3, coloring=coloring, palette="inferno",
                      background=(1, 2, 3))
    image = kt.render(picture, threads=2)
    filtered = kt.filter(image.hits, name, nadjust=3, palette=kt.palette("inferno"), background=(1, 2, 3),
                         coloring=coloring)
    assert np.array_equal(filtered, image.rgb)


def write(path, data):
    path.write_bytes(data)
    return str(path)


# What is refused, how, and with which of the program's words.
BAD = [
    ("negative size", lambda d: Picture(size=-5), ValueError, "size takes a side"),
    ("NaN angle", lambda d: Picture(rotation=(math.nan, 0, 0)), ValueError, "rotation takes"),
    ("wrong type", lambda d: Picture(alpha="x"), TypeError, "alpha takes a number"),
    ("bool as a count", lambda d: Picture(width=True), TypeError, "width takes"),
    ("unknown keyword", lambda d: Picture(colour=1), TypeError, "colour"),
    ("hit tone too large", lambda d: Picture(size=5000), ValueError, "need a tone"),
    ("negative steps", lambda d: Picture(steps=-1), ValueError, "steps takes"),
    ("unknown tone", lambda d: setattr(Picture(), "tone", "loud"), ValueError, "tone takes"),
    ("not a .dv3", lambda d: Picture.load(write(d / "x.dv3", b"no")), OSError, ""),
    ("missing file", lambda d: Picture.load(str(d / "missing.dv3")), FileNotFoundError, "DV3"),
    ("bad text", lambda d: Picture.from_text('{"formula": 3}'), ValueError, "formula"),
    ("palette file", lambda d: kt.render(Picture(palette=str(d / "no.map"))), OSError, "MAP file"),
    ("no threads", lambda d: kt.render(Picture(), threads=0), ValueError, "threads takes"),
    ("not a picture", lambda d: kt.render("picture"), TypeError, ""),
    ("seed", lambda d: kt.random_sets(-1), ValueError, "seed takes"),
    ("dimension limit", lambda d: kt.random_sets(1, fd_limit=2), ValueError, "fd_limit takes"),
    ("counts not square", lambda d: kt.tone(np.zeros((3, 4))), ValueError, "square"),
    ("palette name", lambda d: kt.palette("nosuch"), OSError, "MAP file"),
    ("image name", lambda d: kt.render(Picture(steps=2000)).save(str(d / "x.jpg")), ValueError, ".png"),
    ("parameter file name", lambda d: Picture().save(str(d / "x.txt")), ValueError, ".dv3"),
    ("unwritable", lambda d: Picture().save(str(d / "none" / "x.dv3")), OSError, "save file"),
    ("TGA at 16 bits", lambda d: kt.render(Picture(steps=2000, tone="density", depth=16)).save(str(d / "x.tga")),
     ValueError, "saved as PNG"),
    ("counts of z", lambda d: kt.render(Picture(steps=2000, coloring="z")).hits_uint32(), ValueError, "depth colours"),
    ("filter name", lambda d: kt.filter(np.ones((200, 200)), "blur"), ValueError, "filter takes"),
    ("log filter of z", lambda d: kt.filter(np.ones((200, 200)), "log", coloring="z"), ValueError, "hit colouring"),
    ("nothing to filter", lambda d: kt.filter(np.zeros((200, 200)), "normalize"), ValueError, "no pixel was hit"),
    ("start point", lambda d: kt.random_sets(1, start=(1e9, 0, 0)), ValueError, "screening range"),
]


@pytest.mark.parametrize("make, error, words", [b[1:] for b in BAD], ids=[b[0] for b in BAD])
def test_bad_arguments_raise_the_programs_message(make, error, words, tmp_path):
    with pytest.raises(error, match=words):
        make(tmp_path)


def test_a_refused_setting_leaves_the_picture_as_it_was():
    picture = Picture(size=300)
    with pytest.raises(ValueError):
        picture.width = 5000
    assert picture == Picture(size=300)
