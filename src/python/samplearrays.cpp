#include "python/samplearrays.h"

namespace py = pybind11;

namespace kt {

namespace {

py::array readonly(py::array view)
{
    view.attr("flags").attr("writeable") = false;
    return view;
}

} // namespace

py::array surfacergb(const Surface& image, py::handle owner)
{
    const auto* red = reinterpret_cast<const std::uint8_t*>(image.bits()) + 2;
    const py::ssize_t width = image.width();
    return readonly(py::array(py::dtype::of<std::uint8_t>(), {py::ssize_t(image.height()), width, py::ssize_t(3)},
                              {4 * width, py::ssize_t(4), py::ssize_t(-1)}, red, owner));
}

py::array deepsamples(const DeepImage& image, bool alpha, py::handle owner)
{
    const py::ssize_t width = image.width;
    constexpr py::ssize_t sample = sizeof(std::uint16_t);
    return readonly(py::array(py::dtype::of<std::uint16_t>(),
                              {py::ssize_t(image.height), width, py::ssize_t(alpha ? 4 : 3)},
                              {4 * sample * width, 4 * sample, sample}, image.rgba.data(), owner));
}

std::vector<std::uint8_t> eightbitsamples(const DeepImage& image, bool alpha)
{
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    const std::size_t channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> bytes(pixels * channels);
    for (std::size_t k = 0; k < pixels; ++k)
        for (std::size_t c = 0; c < channels; ++c)
            bytes[k * channels + c] = static_cast<std::uint8_t>((image.rgba[4 * k + c] * 255u + 32767) / 65535);
    return bytes;
}

} // namespace kt
