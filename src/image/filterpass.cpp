#include "image/filterpass.h"

#include <algorithm>
#include <cstring>

#include "image/filters.h"
#include "engine/rendercontext.h"

namespace kt {

FilterPass::FilterPass(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts)
    : ctx_(ctx), s_(s), settings_(settings), counts_(counts), palette_(s.palette),
      counting_(settings.histogramflag == 1)
{
    for (unsigned k = 0; k < entries_.size(); ++k)
        entries_[k] = Surface::toNative(palettecolour(palette_, k));
    // The pass writes the pixels in place: a call per pixel that checks the
    // surface again each time would cost more than the filters' arithmetic.
    if (Surface* image = s.g_vhdc) {
        pixels_ = image->bits();
        width_ = image->width();
        height_ = image->height();
    }
    if (counting_) {
        counts_.fill(0);
        s_.pixelmax = 0;
    }
}

// Out of line, so that the x87 work stays out of the passes' loops.
[[gnu::noinline]] std::uint32_t FilterPass::exactinterpolated(unsigned k, unsigned m, real fx) const
{
    int component[3];
    for (unsigned c = 0; c < 3; ++c) {
        const int c0 = palette_[3 * k + c];
        const int c1 = palette_[3 * m + c];
        component[c] = std::clamp(truncated(c0 + (c1 - c0) * fx), 1, 255);
    }
    return Surface::toNative(RGB(component[0], component[1], component[2]));
}

void FilterPass::drawshades(std::uint32_t* pixels, const std::uint32_t* packed, int count)
{
    using Lanes = std::uint32_t __attribute__((vector_size(16)));
    constexpr int lanes = sizeof(Lanes) / sizeof(std::uint32_t);
    constexpr std::uint32_t opaque = Surface::opaque;
    int k = 0;
    for (; k + lanes <= count; k += lanes) {
        Lanes shade, old;
        std::memcpy(&shade, packed + k, sizeof shade);
        std::memcpy(&old, pixels + k, sizeof old);
        const auto undrawn = reinterpret_cast<Lanes>((shade & opaque) == 0);
        const Lanes drawn = ((shade | opaque) & ~undrawn) | (old & undrawn);
        std::memcpy(pixels + k, &drawn, sizeof drawn);
    }
    for (; k < count; ++k)
        if (packed[k] & opaque)
            pixels[k] = packed[k] | opaque;
}

int FilterPass::finish()
{
    // Counts only grow during a pass, so the largest at the end is the
    // largest any pixel raised.
    if (counting_)
        s_.pixelmax = *std::max_element(counts_.begin() + 2, counts_.end());

    Presentation& shown = ctx_.shown();
    shown.filtered();
    shown.idle();
    if (settings_.okhistogram == 1 && settings_.histogramflag == 1)
        shown.histogramready();
    return filterdone;
}

} // namespace kt
