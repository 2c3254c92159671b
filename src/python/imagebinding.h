#pragma once
// render(): a picture drawn on its own render context, the GIL released, as
// an Image whose NumPy arrays are views of the render's own buffers.
#include <pybind11/pybind11.h>

namespace kt {

void bindimage(pybind11::module_& m);

} // namespace kt
