#pragma once
// The picture model as Python's Picture: keyword construction, attributes
// named as the picture's text names its fields, and its files and text.
#include <pybind11/pybind11.h>

namespace kt {

void bindpicture(pybind11::module_& m);

} // namespace kt
