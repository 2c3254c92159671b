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

// Counts one more hit in a pixel's stored count; returns the new count.
// A float stops counting at 2^24; the stored count stays there.
[[gnu::always_inline]] inline std::uint32_t counthit(float& stored)
{
    const float before = stored;
    const std::uint32_t count = static_cast<std::uint32_t>(before) + 1;
    stored = before + 1.0f;
    return count;
}

[[gnu::always_inline]] inline COLORREF hitcolour(const Palette& palette, std::uint32_t count)
{
    return palettecolour(palette, count > 255 ? 255 : count);
}

// A pixel's level under the depth colouring: the palette entry, and the
// fraction of the way to the next that the colour blends in.
struct DepthLevel {
    unsigned cindex;
    double dcindex;
};

// Raises a pixel's stored level to the one of a point at depth `depth`;
// false, with nothing changed, when the pixel already stands as high.
[[gnu::always_inline]] inline bool raisedepth(float& stored, real depth, DepthLevel& level)
{
    const auto pindex = static_cast<std::uint32_t>(stored);
    const real product = fabsl(depth + static_cast<real>(0.5)) * 255;
    double dcindex = static_cast<double>(product);
    const unsigned cindex = product < 255 ? static_cast<unsigned>(truncated(product)) : 255u;
    if (pindex >= cindex)
        return false;
    if (dcindex > 255.0)
        dcindex = 255.0;
    stored = static_cast<float>(dcindex);
    level = {cindex, dcindex};
    return true;
}

inline COLORREF depthcolour(const Palette& palette, const DepthLevel& level)
{
    const std::uint8_t* entry = &palette[3 * level.cindex];
    if (level.cindex == 255)
        return RGB(entry[0], entry[1], entry[2]);
    const double c0 = std::floor(level.dcindex);
    const double c1 = std::ceil(level.dcindex);
    real fx = 0;
    if (c0 != c1) {
        fx = (static_cast<real>(level.dcindex) - c0) / (static_cast<real>(c1) - c0);
        fx = fx < 0 ? 0 : (fx > 1 ? 1 : fx);
    }
    int blended[3];
    for (int k = 0; k < 3; ++k) {
        const int difference = static_cast<int>(entry[k + 3]) - static_cast<int>(entry[k]);
        // Between two entries, so never below 0.
        blended[k] = truncated(difference * fx + entry[k]);
    }
    return RGB(blended[0], blended[1], blended[2]);
}

// Plots pixel (xplot, yplot), which the caller has checked lies on the image,
// coloured by its hit count.
[[gnu::always_inline]] inline void plothits(EngineState& s, int xplot, int yplot)
{
    const std::size_t pixel = static_cast<std::size_t>(yplot) * s.res + xplot;
    const std::uint32_t count = counthit(s.hitcount[pixel]);
    if (count > s.hitmax)
        s.hitmax = count;
    drawpixel(s, xplot, yplot, hitcolour(s.palette, count));
}

// Adds the depth the view sees of a point to its pixel's sum, beside the hit
// counted for it there. Every plotting path that keeps depth sums calls it in
// orbit order, so that the sums are the same on any number of threads.
[[gnu::always_inline]] inline void adddepth(float* depthsum, std::size_t pixel, real viewdepth)
{
    depthsum[pixel] += static_cast<float>(viewdepth);
}

// plothits, and the point's depth in the view into s.depthsum.
[[gnu::always_inline]] inline void plothitdepth(EngineState& s, int xplot, int yplot, real viewdepth)
{
    plothits(s, xplot, yplot);
    adddepth(s.depthsum.get(), static_cast<std::size_t>(yplot) * s.res + xplot, viewdepth);
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
    DepthLevel level;
    if (!raisedepth(s.hitcount[pixel], depth, level))
        return;
    if (level.cindex > s.hitmax)
        s.hitmax = level.cindex;
    drawpixel(s, xplot, yplot, depthcolour(s.palette, level));
}

} // namespace kt
