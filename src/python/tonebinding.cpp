#include "python/tonebinding.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/picture.h"
#include "engine/rendercontext.h"
#include "image/palettes.h"
#include "image/picturerender.h"
#include "image/tonemap.h"
#include "python/errors.h"
#include "python/samplearrays.h"

namespace py = pybind11;

namespace kt {

namespace {

using Counts = py::array_t<float, py::array::c_style | py::array::forcecast>;
using PaletteArray = py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>;

Palette namedorfile(const std::string& name)
{
    const PaletteChoice choice = picturepalette(name);
    if (!choice.colours)
        raiseoserror(0, choice.error, name);
    return *choice.colours;
}

py::array palettearray(const std::string& name)
{
    const Palette colours = namedorfile(name);
    PaletteArray table({256, 3});
    std::copy(colours.begin(), colours.end(), table.mutable_data());
    return table;
}

// A name, a .map file or 256 x 3 colours of one's own.
Palette palettefrom(py::handle value)
{
    if (py::isinstance<py::str>(value))
        return namedorfile(value.cast<std::string>());
    const auto table = PaletteArray::ensure(value);
    if (!table || table.ndim() != 2 || table.shape(0) != 256 || table.shape(1) != 3)
        raisevalue("palette takes a palette's name, a .map file or 256 x 3 colours");
    Palette colours{};
    std::copy(table.data(), table.data() + colours.size(), colours.begin());
    return colours;
}

int squareside(const Counts& grid, const char* name)
{
    if (grid.ndim() != 2 || grid.shape(0) != grid.shape(1) || grid.shape(0) < 1)
        raisevalue(std::string(name) + " takes a square array of counts");
    return static_cast<int>(grid.shape(0));
}

COLORREF backgroundof(const std::vector<int>& background)
{
    if (background.size() != 3 || std::any_of(background.begin(), background.end(), [](int c) {
            return c < 0 || c > 255;
        }))
        raisevalue("background takes R,G,B, each 0 to 255");
    return RGB(background[0], background[1], background[2]);
}

struct ToneAsked {
    int width, height, supersample, depth;
    COLORREF back;
    ToneSettings settings;
};

ToneAsked checked(int side, std::optional<int> width, std::optional<int> height, int supersample,
                  std::vector<int> background, double brightness, double gamma, bool transparent, int depth)
{
    if (supersample < 1 || supersample > maxsupersample || side % supersample != 0)
        raisevalue("supersample takes a whole number from 1 to 8 that divides the side of the counts");
    const int reduced = side / supersample;
    const int w = width.value_or(reduced), h = height.value_or(reduced);
    if (w < 1 || h < 1 || w > reduced || h > reduced)
        raisevalue("width and height take a frame within the counts' square at 1/supersample of its side");
    if (!(brightness >= 0.01 && brightness <= 100))
        raisevalue("brightness takes a number from 0.01 to 100");
    if (!(gamma >= 0.1 && gamma <= 10))
        raisevalue("tone gamma takes a number from 0.1 to 10");
    if (depth != 8 && depth != 16)
        raisevalue("depth takes 8 or 16");
    return {w, h, supersample, depth, backgroundof(background), ToneSettings{brightness, gamma, transparent}};
}

py::array tone(const Counts& hits, py::handle palette, std::optional<Counts> depths, std::vector<int> background,
               double brightness, double gamma, bool transparent, int supersample, std::optional<int> width,
               std::optional<int> height, int depth)
{
    const int side = squareside(hits, "hits");
    if (depths && (squareside(*depths, "depths") != side))
        raisevalue("depths takes an array of the hits' shape");
    const ToneAsked asked = checked(side, width, height, supersample, background, brightness, gamma, transparent,
                                    depth);
    const Palette colours = palettefrom(palette);
    auto toned = std::make_unique<DeepImage>();
    {
        py::gil_scoped_release released;
        RenderContext ctx;
        *toned = tonemap(ctx, HitGrid{hits.data(), side, depths ? depths->data() : nullptr},
                         ToneFrame{asked.width, asked.height, asked.supersample}, colours, asked.back,
                         asked.settings);
    }
    if (toned->width == 0)
        throw std::bad_alloc();
    if (depth == 16) {
        const DeepImage& image = *toned;
        py::capsule owner(toned.release(), [](void* p) { delete static_cast<DeepImage*>(p); });
        return deepsamples(image, transparent, owner);
    }
    auto bytes = std::make_unique<std::vector<std::uint8_t>>(eightbitsamples(*toned, transparent));
    const std::uint8_t* data = bytes->data();
    py::capsule owner(bytes.release(), [](void* p) { delete static_cast<std::vector<std::uint8_t>*>(p); });
    return packedarray(data, {asked.height, asked.width, transparent ? 4 : 3}, owner);
}

// The counts coloured as a hit-tone render of that side colours them, then
// filtered: the image the render with that filter gives for the same counts.
py::array filtered(const Counts& hits, const std::string& name, int nadjust, py::handle palette,
                   const std::vector<int>& background, const std::string& coloring)
{
    const int side = squareside(hits, "hits");
    Picture p = builtinpicture(1);
    p.width = p.height = side;
    p.filter = name;
    p.nadjust = nadjust;
    p.background = backgroundof(background);
    const auto named = std::find(std::begin(coloringnames), std::end(coloringnames), coloring);
    p.coloring = named == std::end(coloringnames) ? -1 : static_cast<int>(named - std::begin(coloringnames));
    if (const std::string problem = pictureproblem(p); !problem.empty())
        raisevalue(problem);
    const Palette colours = palettefrom(palette);
    auto drawn = std::make_unique<RenderedPicture>();
    {
        py::gil_scoped_release released;
        RenderContext ctx;
        joinpicture(ctx, p, colours, *drawn, [&hits](EngineState& s) {
            std::copy(hits.data(), hits.data() + hits.size(), s.hitcount.get());
            return std::string();
        });
    }
    if (drawn->outcome == OrbitsResult::nomemory)
        throw std::bad_alloc();
    if (!drawn->unfiltered.empty())
        raisevalue("the " + name + " filter cannot apply: " + drawn->unfiltered);
    const Surface& image = *drawn->image;
    py::capsule owner(drawn.release(), [](void* d) { delete static_cast<RenderedPicture*>(d); });
    return surfacergb(image, owner);
}

template <typename Names>
py::tuple nametuple(const Names& names)
{
    py::list listed;
    for (const auto& name : names)
        listed.append(name);
    return py::tuple(listed);
}

} // namespace

void bindtone(py::module_& m)
{
    m.def("palette", &palettearray, py::arg("name"),
          "A built-in palette by name, or a Fractint .map file's, as 256 x 3 bytes (entry 0 is the background's).");
    m.def("tone", &tone, py::arg("hits"), py::arg("palette") = "1", py::arg("depths") = py::none(),
          py::arg("background") = std::vector<int>{255, 245, 230}, py::arg("brightness") = 1.0,
          py::arg("gamma") = 1.0, py::arg("transparent") = false, py::arg("supersample") = 1,
          py::arg("width") = py::none(), py::arg("height") = py::none(), py::arg("depth") = 8,
          "The density tone of a square of counts (with depths, the depth tone), as the renderer tones a picture.");
    m.def("filter", &filtered, py::arg("hits"), py::arg("name"), py::arg("nadjust") = 5, py::arg("palette") = "1",
          py::arg("background") = std::vector<int>{255, 245, 230}, py::arg("coloring") = "hit",
          "A square of counts coloured as the hit tone colours them, through the filter of that name (FILTERS), "
          "as height x width x 3 bytes: what a render with that filter gives for the same counts.");
    std::vector<const char*> palettes;
    for (const NamedPalette& named : namedpalettes())
        palettes.push_back(named.name);
    m.attr("PALETTES") = nametuple(palettes);
    m.attr("ORDERS") = nametuple(ordernames);
    m.attr("FILTERS") = nametuple(filternames);
    m.attr("TONES") = py::make_tuple("hit", "density", "depth");
}

} // namespace kt
