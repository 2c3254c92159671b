// ktdravune3d: the engine for notebooks and scripts, on the same libraries as
// the two programs, with its pictures and counts as NumPy arrays.
#include <pybind11/pybind11.h>

#include "python/imagebinding.h"
#include "python/picturebinding.h"
#include "python/searchbinding.h"
#include "python/tonebinding.h"

PYBIND11_MODULE(ktdravune3d, m)
{
    m.doc() = "KT Dravune 3D: symmetric-icon attractors rendered, screened and toned, as NumPy arrays.";
    kt::bindpicture(m);
    kt::bindimage(m);
    kt::bindsearch(m);
    kt::bindtone(m);
}
