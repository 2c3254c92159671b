#pragma once
// What the filters share once they recolour: the colours they give pixels,
// the palette-index counts, and what shows the picture told at the end.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/enginestate.h"
#include "engine/truncation.h"
#include "image/filters.h"

namespace kt {

class RenderContext;

// The palette index of a scaled value: truncated toward zero, capped at 255.
// Nothing below 1 is drawn, so a negative value (never a hit count) is 0.
inline unsigned paletteindex(real scaled)
{
    if (scaled >= 255)
        return 255;
    return scaled >= 1 ? static_cast<unsigned>(truncated(scaled)) : 0u;
}

// Colours are defined in extended precision, which runs on the x87 unit at
// several times the cost of doubles or integers. The same sums in doubles and
// in 32.32 fixed point land within 1e-7 of the extended ones here (values
// below 2^16, factors below 256), so their whole parts agree unless they lie
// within a hair of a whole number; only then is the extended value worked
// out.
constexpr std::uint32_t closecallslack = 1024; // in units of 2^-32, about 2.4e-7

inline bool closetowhole(std::uint32_t fraction)
{
    return static_cast<std::uint32_t>(fraction + closecallslack) < 2 * closecallslack;
}

struct WholePart {
    int whole;
    std::uint32_t fraction; // in units of 2^-32
    bool closecall;
};

// For x from 0 up to 2^30.
inline WholePart wholepart(double x)
{
    const auto fixed = static_cast<std::int64_t>(x * 4294967296.0);
    const auto fraction = static_cast<std::uint32_t>(fixed);
    return {static_cast<int>(fixed >> 32), fraction, closetowhole(fraction)};
}

template <typename>
class DepthShades;

// A palette index with the colour it is drawn in; index 0 is not drawn.
class Shade {
public:
    constexpr Shade() = default;
    static constexpr Shade undrawn() { return Shade(); }
    static constexpr Shade drawn(unsigned cindex, std::uint32_t native)
    {
        return cindex == 0 ? undrawn() : Shade((cindex << 24) | (native & 0xFFFFFFu));
    }

    // The index in the top byte, red, green and blue below, as in a surface
    // pixel; an undrawn shade is all zero.
    std::uint32_t packed() const { return packed_; }
    std::uint32_t native() const { return packed_ | Surface::opaque; }
    bool operator==(const Shade&) const = default;

private:
    template <typename>
    friend class DepthShades;
    constexpr explicit Shade(std::uint32_t packed) : packed_(packed) {}
    std::uint32_t packed_ = 0;
};

class FilterPass {
public:
    // Zeroes the palette-index counts when the settings ask for them.
    FilterPass(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts);
    FilterPass(const FilterPass&) = delete;
    FilterPass& operator=(const FilterPass&) = delete;

    // One row of the off-screen image. Columns beyond the surface are
    // clipped, as drawing there would be.
    class Row {
    public:
        void set(int i, std::uint32_t native)
        {
            if (i < width_)
                pixels_[i] = native;
        }

    private:
        friend class FilterPass;
        Row(std::uint32_t* pixels, int width) : pixels_(pixels), width_(width) {}
        std::uint32_t* pixels_;
        int width_;
    };
    Row row(int j) const
    {
        return j < height_ ? Row(pixels_ + static_cast<std::size_t>(j) * width_, width_) : Row(nullptr, 0);
    }

    // Surface pixels of palette entry k, and of the colour from entry k
    // toward entry m at fraction fx: each component is c0 + (c1 - c0) x fx
    // truncated, kept within 1-255 so that a blend never turns black. fx is
    // given in units of 2^-32.
    std::uint32_t entry(unsigned k) const { return entries_[k]; }

    // For an fx that is exact in those units, as a float's fraction is: the
    // fixed-point sums are then exact, as the extended ones are.
    std::uint32_t interpolated(unsigned k, unsigned m, std::uint32_t fx) const
    {
        bool closecall;
        return blended(k, m, fx, closecall);
    }

    // For an fx a few units off, with the call that works out the exact
    // extended fraction for the rare blend that lands too close to a whole
    // number to tell.
    template <typename ExactFraction>
    std::uint32_t interpolated(unsigned k, unsigned m, std::uint32_t fx, ExactFraction exactfx) const
    {
        bool closecall;
        const std::uint32_t pixel = blended(k, m, fx, closecall);
        if (closecall) [[unlikely]]
            return exactinterpolated(k, m, exactfx());
        return pixel;
    }

    void count(unsigned cindex, std::uint32_t pixels = 1)
    {
        if (counting_)
            counts_[cindex] += pixels;
    }

    // Calls draw(row, i, value) for every pixel whose hit-count value
    // `takes`, row by row from the top, each row from the left; returns how
    // many pixels it passed over. The pixels a filter passes over (unhit ones,
    // mostly) lie in ragged runs that a branch per pixel keeps mispredicting,
    // so each stretch of a row is sifted first without branching.
    template <typename Takes, typename Draw>
    std::size_t forpixels(Takes takes, Draw draw)
    {
        constexpr int stretch = 1024;
        std::array<int, stretch> taken;
        std::size_t passed = 0;
        const int res = s_.res;
        const float* values = s_.hitcount.get();
        for (int j = 0; j < res; ++j, values += res) {
            Row r = row(j);
            for (int start = 0; start < res; start += stretch) {
                const int end = std::min(res, start + stretch);
                int count = 0;
                for (int i = start; i < end; ++i) {
                    taken[static_cast<std::size_t>(count)] = i;
                    count += takes(values[i]) ? 1 : 0;
                }
                passed += static_cast<std::size_t>(end - start - count);
                for (int k = 0; k < count; ++k) {
                    const int i = taken[static_cast<std::size_t>(k)];
                    draw(r, i, values[i]);
                }
            }
        }
        return passed;
    }

    // Gives every pixel the shade of its hit-count value: draws the pixel
    // unless the shade is undrawn, and counts its index (an undrawn one at 0
    // only when `countundrawn`). With a table, shades.lookup(values, count,
    // packed) finds the shades of a stretch of values at a time and every
    // pixel is written back, an undrawn one unchanged, so that ragged runs of
    // unhit pixels cost no mispredicted branches; the counts rotate over four
    // sets of tallies, so that a run of one index does not wait on its own
    // tally. Without one, shades.rule() works out the hit pixels one by one.
    template <typename Shades>
    void shadeall(const Shades& shades, bool countundrawn)
    {
        if (!shades.tabled())
            shadeeach(shades.rule(), countundrawn);
        else if (counting_)
            shadeall<true>(shades, countundrawn);
        else
            shadeall<false>(shades, countundrawn);
    }

    // Settles the state's pixelmax and reports the new picture, the end of the
    // work and, when the display is on, the counts for the histogram.
    int finish();

private:
    // The surface pixel of the three blends in 32.32 fixed point;
    // `closecall` tells whether one lies within the slack of a whole number
    // (entries that share a component blend to it exactly, and do not count).
    std::uint32_t blended(unsigned k, unsigned m, std::uint32_t fx, bool& closecall) const
    {
        const std::uint8_t* from = &palette_[3 * k];
        const std::uint8_t* to = &palette_[3 * m];
        bool close = false;
        const auto component = [&](unsigned c) {
            const std::int64_t difference = static_cast<std::int64_t>(to[c]) - from[c];
            const std::int64_t sum = static_cast<std::int64_t>(from[c]) * 4294967296 + difference * fx;
            close |= closetowhole(static_cast<std::uint32_t>(sum)) & (difference != 0);
            const auto whole = static_cast<std::uint32_t>(sum >> 32);
            return whole < 1 ? 1u : whole;
        };
        // Red, green and blue, in the order a surface pixel holds them.
        const std::uint32_t pixel = Surface::opaque | component(0) << 16 | component(1) << 8 | component(2);
        closecall = close;
        return pixel;
    }
    std::uint32_t exactinterpolated(unsigned k, unsigned m, real fx) const;

    template <typename ShadeOf>
    void shadeeach(const ShadeOf& shadeof, bool countundrawn)
    {
        const std::size_t unhit = forpixels([](float v) { return v != 0; },
                                            [&](Row& row, int i, float v) {
                                                const Shade shade = shadeof(v);
                                                const unsigned cindex = shade.packed() >> 24;
                                                if (cindex >= 1)
                                                    row.set(i, shade.native());
                                                if (cindex >= 1 || countundrawn)
                                                    count(cindex);
                                            });
        if (countundrawn)
            count(0, static_cast<std::uint32_t>(unhit));
    }

    // In stretches: the shades are looked up one by one, then drawn four at
    // a time, as vectors, without a branch per pixel.
    template <bool counting, typename Shades>
    void shadeall(const Shades& shades, bool countundrawn)
    {
        constexpr int stretch = 1024;
        std::array<std::uint32_t, stretch> packed;
        std::array<std::array<std::uint32_t, 256>, 4> tallies{};
        const int res = s_.res;
        const float* values = s_.hitcount.get();
        for (int j = 0; j < res; ++j, values += res) {
            std::uint32_t* pixels = j < height_ ? pixels_ + static_cast<std::size_t>(j) * width_ : nullptr;
            const int drawable = pixels ? std::min(res, width_) : 0;
            for (int start = 0; start < res; start += stretch) {
                const int end = std::min(res, start + stretch);
                shades.lookup(values + start, end - start, packed.data());
                if constexpr (counting) {
                    for (int i = start; i < end; ++i)
                        ++tallies[static_cast<std::size_t>(i & 3)][packed[static_cast<std::size_t>(i - start)] >> 24];
                }
                if (start < drawable)
                    drawshades(pixels + start, packed.data(), std::min(end, drawable) - start);
            }
        }
        if constexpr (counting) {
            for (const auto& tally : tallies)
                for (unsigned k = countundrawn ? 0 : 1; k < 256; ++k)
                    counts_[k] += tally[k];
        }
    }
    static void drawshades(std::uint32_t* pixels, const std::uint32_t* packed, int count);

    RenderContext& ctx_;
    EngineState& s_;
    const FilterState& settings_;
    PaletteCounts& counts_;
    Palette palette_;
    std::array<std::uint32_t, 256> entries_;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool counting_;
};

// The palette index of every whole value below `wholevalues` under a filter's
// own rule, worked out once per pass: most pixels of a long render hold small
// counts, and looking them up saves working out a logarithm or an extended
// product per pixel. Larger or fractional values take the rule directly, so
// every pixel gets exactly what the rule gives it.
template <typename Rule>
class IndexTable {
public:
    static constexpr std::uint32_t wholevalues = 65536;

    IndexTable(Rule rule, std::uint32_t largest) : rule_(rule)
    {
        filled_ = largest < wholevalues ? largest + 1 : wholevalues;
        for (std::uint32_t v = 0; v < filled_; ++v)
            indices_[v] = static_cast<std::uint8_t>(rule_(static_cast<real>(v)));
    }

    unsigned operator()(float value) const
    {
        if (value >= 0 && value < static_cast<float>(filled_)) {
            const auto whole = static_cast<std::uint32_t>(value);
            if (static_cast<float>(whole) == value)
                return indices_[whole];
        }
        return rule_(value);
    }

private:
    Rule rule_;
    std::uint32_t filled_;
    std::array<std::uint8_t, wholevalues> indices_;
};

} // namespace kt
