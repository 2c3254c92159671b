#pragma once
// NumPy views of the program's pixel buffers, kept alive by `owner`, and the
// toned picture's samples at 8 bits.
#include <pybind11/numpy.h>

#include <cstdint>
#include <vector>

#include "base/surface.h"
#include "image/tonemap.h"

namespace kt {

// Height x width x 3 bytes, red first, of the surface's 0xFFRRGGBB pixels:
// read backwards from red, since the pixels hold blue first in memory.
pybind11::array surfacergb(const Surface& image, pybind11::handle owner);

// Height x width x 3 or 4 of 16-bit samples.
pybind11::array deepsamples(const DeepImage& image, bool alpha, pybind11::handle owner);

// Height x width x 3 or 4 bytes, rounded as the PNG writer rounds 16 bits to 8.
std::vector<std::uint8_t> eightbitsamples(const DeepImage& image, bool alpha);

// A read-only view of `data` as `shape`, row by row.
template <typename T>
pybind11::array packedarray(const T* data, std::vector<pybind11::ssize_t> shape, pybind11::handle owner)
{
    pybind11::array view(pybind11::dtype::of<T>(), shape, data, owner);
    view.attr("flags").attr("writeable") = false;
    return view;
}

} // namespace kt
