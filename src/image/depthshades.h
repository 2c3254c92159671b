#pragma once
// Under z-plane colouring a filter gives every pixel a shade that depends on
// its stored depth alone, and depths lie from 0 to 255. Blending a shade costs
// several times more than looking one up, so the depths are cut into equal
// slices and the shades of each slice are worked out once.
//
// Within a slice the palette index and each blended component only grow or
// only fall with the depth, so no shade comes back once left. A slice whose
// lowest and highest depth get the same shade gets it throughout; one whose
// shade changes once is split at the first depth of the new shade, found by
// halving; only a slice with more changes is worked out per pixel. Every
// pixel gets exactly the shade its depth gives.
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

#include "image/filterpass.h"

namespace kt {

template <typename ShadeOf>
class DepthShades {
public:
    static constexpr int slicesperunit = 256;
    static constexpr int slices = 256 * slicesperunit;

    // `largest`: no depth's whole part exceeds it but by one (plotting
    // rounds a depth just below a whole number up to it), so slices beyond
    // are never looked at and not worked out.
    DepthShades(ShadeOf shadeof, std::uint32_t largest) : shadeof_(shadeof)
    {
        const auto wanted = static_cast<std::int64_t>(largest + 2) * slicesperunit;
        filled_ = static_cast<int>(wanted < slices ? wanted : slices);
        // Both tables are only shortcuts: without room for them the pixels
        // are worked out one by one.
        shades_.reset(new (std::nothrow) Shade[static_cast<std::size_t>(filled_)]);
        if (!shades_)
            filled_ = 0;
        int changing = 0;
        for (int k = 0; k < filled_; ++k) {
            const Shade low = shadeof_(lowest(k));
            const bool same = low == shadeof_(highest(k));
            shades_[static_cast<std::size_t>(k)] = same ? low : unsettled;
            changing += same ? 0 : 1;
        }
        splits_.reset(new (std::nothrow) Split[static_cast<std::size_t>(changing)]);
        if (splits_) {
            std::uint32_t split = 0;
            for (int k = 0; k < filled_; ++k)
                if (shades_[static_cast<std::size_t>(k)] == unsettled && splitslice(k, splits_[split]))
                    shades_[static_cast<std::size_t>(k)] = Shade(++split);
        }
        limit_ = static_cast<float>(filled_) / slicesperunit;
    }

    // The packed shades of `count` depths. Out of line, so that the loop
    // keeps what it needs in registers.
    [[gnu::noinline]] void lookup(const float* depths, int count, std::uint32_t* packed) const
    {
        for (int i = 0; i < count; ++i)
            packed[i] = (*this)(depths[i]).packed();
    }

    Shade operator()(float depth) const
    {
        if (depth >= 0 && depth < limit_) {
            const Shade s = shades_[static_cast<std::size_t>(static_cast<int>(depth * slicesperunit))];
            if (isshade(s)) [[likely]]
                return s;
            if (s != unsettled) {
                const Split& split = splits_[s.packed() - 1];
                return depth < split.first ? split.below : split.above;
            }
        }
        return workedout(depth);
    }

private:
    // A slice of two shades: `above` from depth `first` on.
    struct Split {
        float first;
        Shade below;
        Shade above;
    };
    // Neither a shade nor the number of a split (index 0 with colour bits
    // set), for a slice worked out per pixel.
    static constexpr Shade unsettled = Shade(0xFFFFFFu);

    // A drawn shade has an index, an undrawn one is all zero; anything else
    // from 1 to unsettled stands for a split.
    static bool isshade(Shade s) { return s.packed() - 1u >= unsettled.packed(); }

    static float lowest(int k) { return static_cast<float>(k) / slicesperunit; }
    static float highest(int k) { return std::nextafter(static_cast<float>(k + 1) / slicesperunit, 0.0f); }

    // False when the slice changes shade more than once.
    bool splitslice(int k, Split& split) const
    {
        const Shade low = shadeof_(lowest(k));
        const Shade high = shadeof_(highest(k));
        // Non-negative floats are ordered as their bit patterns: halve the
        // patterns between a depth of the low shade and one of another.
        auto below = std::bit_cast<std::uint32_t>(lowest(k));
        auto other = std::bit_cast<std::uint32_t>(highest(k));
        while (other - below > 1) {
            const std::uint32_t middle = below + (other - below) / 2;
            (shadeof_(std::bit_cast<float>(middle)) == low ? below : other) = middle;
        }
        split = {std::bit_cast<float>(other), low, high};
        return shadeof_(split.first) == high;
    }

    [[gnu::noinline]] Shade workedout(float depth) const { return shadeof_(depth); }

    ShadeOf shadeof_;
    std::unique_ptr<Shade[]> shades_;
    std::unique_ptr<Split[]> splits_;
    int filled_ = 0;
    float limit_ = 0;
};

} // namespace kt
