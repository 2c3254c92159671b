#include "python/imagebinding.h"

#include <pybind11/stl.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/picturedraw.h"
#include "engine/rendercontext.h"
#include "engine/workers.h"
#include "files/atomicfile.h"
#include "files/picturefile.h"
#include "files/png.h"
#include "files/pngsamples.h"
#include "files/saveerrors.h"
#include "files/tga.h"
#include "image/picturerender.h"
#include "image/picturetone.h"
#include "python/errors.h"
#include "python/renderwatch.h"
#include "python/samplearrays.h"

namespace py = pybind11;

namespace kt {

namespace {

// A drawn picture and the buffers its arrays view.
struct Image {
    RenderedPicture drawn;
    // A tone's picture: 16 bits a sample with the alpha, and at 8 bits the
    // pixels the batch renderer writes, opaque or with the alpha.
    DeepImage toned;
    std::unique_ptr<Surface> opaque;
    std::vector<std::uint8_t> withalpha;

    const Picture& picture() const { return drawn.drawn; }
    bool toning() const { return picture().tone != Tone::hit; }
};

int renderthreads(std::optional<int> threads)
{
    if (!threads)
        return processorcount();
    if (*threads < 1 || *threads > maxworkerthreads)
        raisevalue("threads takes a whole number from 1 to 256");
    return *threads;
}

// The toned picture in the forms the image is read and saved in.
bool tone(RenderContext& ctx, Image& image)
{
    const Picture& p = image.picture();
    image.toned = tonepicture(ctx, image.drawn.state, p);
    if (image.toned.width == 0)
        return false;
    if (p.depth == 16)
        return true;
    if (p.transparent) {
        image.withalpha = eightbitsamples(image.toned, true);
        return true;
    }
    image.opaque = Surface::create(image.toned.width, image.toned.height);
    if (!image.opaque)
        return false;
    copytoned(image.toned, *image.opaque);
    return true;
}

std::unique_ptr<Image> render(const Picture& p, std::optional<int> threads, py::object progress)
{
    if (const std::string problem = pictureproblem(p); !problem.empty())
        raisevalue(problem);
    RenderContext ctx(renderthreads(threads));
    const PaletteChoice colours = picturepalette(p.palette);
    if (!colours.colours)
        raiseoserror(0, colours.error, p.palette);
    auto image = std::make_unique<Image>();
    RenderWatch watch(std::move(progress), picturebatches(p) * batchsteps);
    ctx.cancelled = [&watch] { return watch.cancelled(); };
    bool toned = true;
    {
        py::gil_scoped_release released;
        renderpicture(ctx, p, *colours.colours, image->drawn, [&watch](std::uint64_t done) {
            return watch.going(done);
        });
        if (image->drawn.outcome == OrbitsResult::done && image->toning())
            toned = tone(ctx, *image);
    }
    watch.raisestop();
    if (image->drawn.outcome == OrbitsResult::nomemory || !toned)
        throw std::bad_alloc();
    return image;
}

// What the batch renderer writes for the same picture and name, byte for
// byte: PNG, or TGA where the picture has 8 bits and no alpha.
void saveimage(const Image& image, const std::string& path)
{
    const std::optional<ImageFormat> format = imageformat(path);
    if (!format)
        raisevalue("an image is saved as PNG or TGA: the name must end in .png or .tga: " + path);
    const Picture& p = image.picture();
    const bool samples = image.toning() && (p.depth == 16 || p.transparent);
    if (samples && format == ImageFormat::tga)
        raisevalue("a picture at depth 16 or with a transparent background is saved as PNG: " + path);
    int code;
    {
        py::gil_scoped_release released;
        RenderContext ctx(1);
        if (samples)
            code = writepngsamples(ctx,
                                   PngSamples{image.toned.rgba.data(), image.toned.width, image.toned.height,
                                              p.depth, p.transparent},
                                   path);
        else if (format == ImageFormat::tga)
            code = image.toning() ? writetga(ctx, *image.opaque, path)
                                  : writetga(ctx, image.drawn.image.get(), image.drawn.state.res, path);
        else
            code = writepng(ctx, image.toning() ? *image.opaque : *image.drawn.image, path);
    }
    if (code != savedone)
        raiseoserror(AtomicFile::lasterror(), saveerror[code - 1], path);
}

// A notebook shows the picture from its PNG file's bytes.
py::bytes pngbytes(const Image& image)
{
    static std::atomic<int> made{0};
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
        ("ktdravune3d-" + std::to_string(::getpid()) + "-" + std::to_string(made++) + ".png");
    saveimage(image, path.string());
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return py::bytes(bytes);
}

py::array rgb(const Image& image, py::handle self)
{
    const Picture& p = image.picture();
    if (!image.toning())
        return surfacergb(*image.drawn.image, self);
    if (p.depth == 16)
        return deepsamples(image.toned, p.transparent, self);
    if (p.transparent)
        return packedarray(image.withalpha.data(), {image.toned.height, image.toned.width, 4}, self);
    return surfacergb(*image.opaque, self);
}

py::array hits(const Image& image, py::handle self)
{
    const py::ssize_t side = image.drawn.state.res;
    return packedarray(image.drawn.state.hitcount.get(), {side, side}, self);
}

// A copy, since the engine counts in float32: whole numbers, exact up to
// 2^24, where a float32 count stops growing. The z colouring keeps depth
// colours there instead, which are not counts.
py::array hitsuint32(const Image& image)
{
    if (image.picture().coloring != 0)
        raisevalue("the z colouring keeps depth colours, not counts: read hits as float32");
    const std::size_t side = static_cast<std::size_t>(image.drawn.state.res);
    py::array_t<std::uint32_t> counts({side, side});
    const float* from = image.drawn.state.hitcount.get();
    std::transform(from, from + side * side, counts.mutable_data(),
                   [](float v) { return static_cast<std::uint32_t>(v); });
    return counts;
}

py::object depths(const Image& image, py::handle self)
{
    if (!image.drawn.state.depthsum)
        return py::none();
    const py::ssize_t side = image.drawn.state.res;
    return packedarray(image.drawn.state.depthsum.get(), {side, side}, self);
}

} // namespace

void bindimage(py::module_& m)
{
    py::class_<Image>(m, "Image", "A drawn picture; its arrays are views of its own buffers.")
        .def_property_readonly(
            "rgb", [](py::object self) { return rgb(self.cast<const Image&>(), self); },
            "Height x width x 3 (4 with a transparent background) samples: uint8, or uint16 at depth 16.")
        .def_property_readonly(
            "hits", [](py::object self) { return hits(self.cast<const Image&>(), self); },
            "The rendered square's hit counts (by depth colouring: its depth colours), float32.")
        .def("hits_uint32", &hitsuint32, "The hit counts as a new uint32 array (hit colouring only).")
        .def_property_readonly(
            "depths", [](py::object self) { return depths(self.cast<const Image&>(), self); },
            "The sums of each pixel's depths under the depth tone, else None.")
        .def_property_readonly(
            "picture", [](const Image& image) { return image.picture(); },
            "The picture as drawn, with the scale a fit chose.")
        .def_property_readonly(
            "unfiltered", [](const Image& image) { return image.drawn.unfiltered; },
            "Why the picture's filter left it as drawn, or ''.")
        .def("save", &saveimage, py::arg("path"),
             "Writes the picture as the batch renderer does, as PNG or (8 bits, opaque) TGA by the name.")
        .def("_repr_png_", &pngbytes);
    m.def("render", &render, py::arg("picture"), py::arg("threads") = py::none(), py::arg("progress") = py::none(),
          "Draws the picture on `threads` threads (default: every processor), calling progress(share done); "
          "the same bytes on any number.");
}

} // namespace kt
