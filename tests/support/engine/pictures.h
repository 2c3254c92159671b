#pragma once
// Copies of what a render left, to compare pictures whole.
#include <cstdint>
#include <vector>

#include "base/surface.h"
#include "engine/enginestate.h"

namespace kt::testing {

inline std::vector<float> hitcountsof(const EngineState& s)
{
    return std::vector<float>(s.hitcount.get(), s.hitcount.get() + static_cast<std::size_t>(s.res) * s.res);
}

inline std::vector<std::uint32_t> pixelsof(const Surface& image)
{
    return std::vector<std::uint32_t>(image.bits(),
                                      image.bits() + static_cast<std::size_t>(image.width()) * image.height());
}

inline int countpixels(const Surface& image, COLORREF colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.getpixel(x, y) == colour;
    return count;
}

} // namespace kt::testing
