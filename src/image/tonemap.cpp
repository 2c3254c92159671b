#include "image/tonemap.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>

#include "engine/rendercontext.h"
#include "image/depthrange.h"

namespace kt {

namespace {

// The density that reaches the palette's last entry: dense cores of an icon
// sit some tens to hundreds of times above the mean of the whole square.
constexpr double whitepoint = 200.0;
// Pixels below this tone are partly transparent, so that the sparse halo of
// an orbit fades into the background instead of speckling it.
constexpr double opaquetone = 0.25;
// Tone levels of the colour table: 64 between two palette entries, finer
// than a 16-bit file needs to show no step.
constexpr int levels = 254 * 64;

// A tone's colour, 0..1 encoded as the palette is, with its alpha.
struct ToneColour {
    float r, g, b, a;
};

std::vector<ToneColour> tonecolours(const Palette& palette)
{
    std::vector<ToneColour> colours(levels + 1);
    for (int level = 0; level <= levels; ++level) {
        const double tone = static_cast<double>(level) / levels;
        // Entry 0 is the background's, never painted.
        const double index = 1 + tone * 254;
        const int low = std::min(static_cast<int>(index), 254);
        const double fraction = index - low;
        float rgb[3];
        for (int c = 0; c < 3; ++c) {
            const double from = palette[3 * low + c];
            const double to = palette[3 * (low + 1) + c];
            rgb[c] = static_cast<float>((from + fraction * (to - from)) / 255);
        }
        colours[level] = ToneColour{rgb[0], rgb[1], rgb[2], static_cast<float>(std::min(1.0, tone / opaquetone))};
    }
    return colours;
}

// The subpixels one output pixel gathers along one direction, as offsets
// from its first subpixel, with the tent's weights summing to 1.
struct Tap {
    int offset;
    float weight;
};

std::vector<Tap> tenttaps(int supersample)
{
    std::vector<Tap> taps;
    const double centre = supersample / 2.0;
    for (int offset = 1 - supersample; offset < 2 * supersample; ++offset) {
        const double weight = 1 - std::abs(offset + 0.5 - centre) / supersample;
        if (weight > 0)
            taps.push_back(Tap{offset, static_cast<float>(weight / supersample)});
    }
    return taps;
}

std::uint16_t sample(double value)
{
    return static_cast<std::uint16_t>(std::lround(std::clamp(value, 0.0, 1.0) * 65535));
}

// The tone of a density (hits over the mean hits of a pixel) before the
// settings' gamma: 0 for none, 1 at the white point and above.
double densitytone(double density)
{
    if (density <= 0)
        return 0;
    return std::min(1.0, std::log1p(density) / std::log1p(whitepoint));
}

} // namespace

DeepImage tonemap(RenderContext& ctx, const HitGrid& grid, const ToneFrame& frame, const Palette& palette,
                  COLORREF back, const ToneSettings& settings)
{
    DeepImage image;
    const int side = grid.side;
    const std::size_t cells = static_cast<std::size_t>(side) * side;
    double total = 0;
    for (std::size_t k = 0; k < cells; ++k)
        total += grid.hits[k];
    try {
        image.rgba.resize(4 * static_cast<std::size_t>(frame.width) * frame.height);
    } catch (const std::bad_alloc&) {
        return image;
    }
    image.width = frame.width;
    image.height = frame.height;

    const std::vector<ToneColour> colours = tonecolours(palette);
    // Densities are filtered as hits, before the logarithm: the mean of a
    // pixel's subpixels is its density at any supersampling.
    const double perhit = total > 0 ? settings.brightness * static_cast<double>(cells) / total : 0;
    const std::vector<Tap> taps = tenttaps(frame.supersample);
    const int S = frame.supersample;
    const int outside = side / S;
    const int left = (outside - frame.width) / 2;
    const int top = (outside - frame.height) / 2;
    const double background[3] = {GetRValue(back) / 255.0, GetGValue(back) / 255.0, GetBValue(back) / 255.0};

    // Depths are filtered as sums beside the hits, so each subpixel's mean
    // depth weighs by its hits.
    const bool bydepth = grid.depths != nullptr;
    const DepthRange range = bydepth ? viewdepthrange(grid) : DepthRange{0, 1};
    const double perdepth = 1 / (range.farthest - range.nearest);

    ctx.workers.shareout(frame.height, [&](int y) {
        // The subpixel rows of one output row, filtered down each column.
        std::vector<float> column(static_cast<std::size_t>(side));
        std::vector<float> depthcolumn(bydepth ? static_cast<std::size_t>(side) : 0);
        const int firstrow = S * (top + y);
        for (const Tap& tap : taps) {
            const int row = firstrow + tap.offset;
            if (row < 0 || row >= side)
                continue;
            const float* hits = grid.hits + static_cast<std::size_t>(row) * side;
            for (int x = 0; x < side; ++x)
                column[x] += tap.weight * hits[x];
            if (bydepth) {
                const float* depths = grid.depths + static_cast<std::size_t>(row) * side;
                for (int x = 0; x < side; ++x)
                    depthcolumn[x] += tap.weight * depths[x];
            }
        }
        std::uint16_t* out = &image.rgba[4 * static_cast<std::size_t>(y) * frame.width];
        for (int x = 0; x < frame.width; ++x, out += 4) {
            double hits = 0, depths = 0;
            const int firstcolumn = S * (left + x);
            for (const Tap& tap : taps) {
                const int at = firstcolumn + tap.offset;
                if (at >= 0 && at < side) {
                    hits += tap.weight * column[at];
                    if (bydepth)
                        depths += tap.weight * depthcolumn[at];
                }
            }
            double tone = densitytone(hits * perhit);
            if (settings.gamma != 1.0)
                tone = std::pow(tone, 1 / settings.gamma);
            double place = tone;
            if (bydepth && hits > 0)
                place = std::clamp((depths / hits - range.nearest) * perdepth, 0.0, 1.0);
            const ToneColour& colour = colours[static_cast<std::size_t>(std::lround(place * levels))];
            const double rgb[3] = {colour.r, colour.g, colour.b};
            const double alpha = hits > 0 ? (bydepth ? tone : colour.a) : 0.0;
            for (int c = 0; c < 3; ++c)
                out[c] = sample(settings.transparent ? (alpha > 0 ? rgb[c] : background[c])
                                                     : alpha * rgb[c] + (1 - alpha) * background[c]);
            out[3] = settings.transparent ? sample(alpha) : 65535;
        }
    });
    return image;
}

} // namespace kt
