#pragma once
// The colouring a user can do with counts of their own: the tone mapping,
// the palettes as arrays, and the names the picture's fields take.
#include <pybind11/pybind11.h>

namespace kt {

void bindtone(pybind11::module_& m);

} // namespace kt
