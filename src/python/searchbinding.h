#pragma once
// The chaos screen and the random search: screen() says what --screen says,
// random_sets() gives the sets --explore draws from the same seed.
#include <pybind11/pybind11.h>

namespace kt {

void bindsearch(pybind11::module_& m);

} // namespace kt
