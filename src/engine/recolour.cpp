#include "engine/recolour.h"

#include <algorithm>

#include "engine/plot.h"

namespace kt {

void colourfromcounts(EngineState& s)
{
    const std::size_t pixels = static_cast<std::size_t>(s.res) * s.res;
    std::uint32_t highest = 0;
    for (std::size_t i = 0; i < pixels; ++i)
        highest = std::max(highest, static_cast<std::uint32_t>(s.hitcount[i]));
    s.hitmax = highest;
    if (!s.g_vhdc)
        return;
    Surface& image = *s.g_vhdc;
    const int width = std::min(image.width(), s.res);
    const int height = std::min(image.height(), s.res);
    std::uint32_t* bits = image.bits();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float stored = s.hitcount[static_cast<std::size_t>(y) * s.res + x];
            if (stored <= 0)
                continue;
            const auto count = static_cast<std::uint32_t>(stored);
            const COLORREF colour = s.cmethod == 0
                ? hitcolour(s.palette, count)
                : depthcolour(s.palette, DepthLevel{std::min(count, 255u), static_cast<double>(stored)});
            bits[static_cast<std::size_t>(y) * image.width() + x] = Surface::toNative(colour);
        }
}

void recolour(EngineState& s)
{
    if (s.g_vhdc)
        s.g_vhdc->fill(RECT{0, 0, s.res, s.res}, s.back);
    colourfromcounts(s);
}

} // namespace kt
