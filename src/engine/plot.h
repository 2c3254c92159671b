#pragma once
// Hit accumulation and pixel colouring.
#include <cmath>

#include "engine/enginestate.h"
#include "engine/truncation.h"

namespace kt {

// Plots go to the image the engine draws on, when it has one.
[[gnu::always_inline]] inline void drawpixel(const EngineState& s, int x, int y, COLORREF colour)
{
    if (s.g_vhdc)
        s.g_vhdc->setpixel(x, y, colour);
}

// Plots pixel (xplot, yplot), which the caller has checked lies on the image,
// coloured by its hit count.
[[gnu::always_inline]] inline void plothits(EngineState& s, int xplot, int yplot)
{
    const std::size_t pixel = static_cast<std::size_t>(yplot) * s.res + xplot;
    const float stored = s.hitcount[pixel];
    const std::uint32_t count = static_cast<std::uint32_t>(stored) + 1;
    const unsigned cindex = count > 255 ? 255 : count;
    // A float stops counting at 2^24; the stored count stays there.
    s.hitcount[pixel] = stored + 1.0f;
    if (count > s.hitmax)
        s.hitmax = count;
    drawpixel(s, xplot, yplot, palettecolour(s.palette, cindex));
}

// Plots pixel (xplot, yplot), which the caller has checked lies on the image,
// for a point whose depth coordinate is `depth`.
[[gnu::always_inline]] inline void plotpoint(EngineState& s, int xplot, int yplot, real depth)
{
    if (s.cmethod == 0) {
        plothits(s, xplot, yplot);
        return;
    }

    const std::size_t pixel = static_cast<std::size_t>(yplot) * s.res + xplot;
    const auto pindex = static_cast<std::uint32_t>(s.hitcount[pixel]);

    const real product = fabsl(depth + static_cast<real>(0.5)) * 255;
    double dcindex = static_cast<double>(product);
    const unsigned cindex = product < 255 ? static_cast<unsigned>(truncated(product)) : 255u;
    if (pindex >= cindex)
        return;
    if (dcindex > 255.0)
        dcindex = 255.0;
    s.hitcount[pixel] = static_cast<float>(dcindex);
    if (cindex > s.hitmax)
        s.hitmax = cindex;

    const std::uint8_t* entry = &s.palette[3 * cindex];
    if (cindex == 255) {
        drawpixel(s, xplot, yplot, RGB(entry[0], entry[1], entry[2]));
        return;
    }
    const double c0 = std::floor(dcindex);
    const double c1 = std::ceil(dcindex);
    real fx = 0;
    if (c0 != c1) {
        fx = (static_cast<real>(dcindex) - c0) / (static_cast<real>(c1) - c0);
        fx = fx < 0 ? 0 : (fx > 1 ? 1 : fx);
    }
    int blended[3];
    for (int k = 0; k < 3; ++k) {
        const int difference = static_cast<int>(entry[k + 3]) - static_cast<int>(entry[k]);
        // Between two entries, so never below 0.
        blended[k] = truncated(difference * fx + entry[k]);
    }
    drawpixel(s, xplot, yplot, RGB(blended[0], blended[1], blended[2]));
}

// Plots for the orbit's current point.
void plot(int xplot, int yplot);

} // namespace kt
