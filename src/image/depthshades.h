#pragma once
// Under z-plane colouring a filter gives every pixel a shade that depends on
// its stored depth alone, and depths lie from 0 to 255. Blending a shade costs
// several times more than looking one up, so on a large picture the depths
// are cut into equal slices and the shades of each slice are worked out once.
//
// Along rising depths the palette index never falls, and while it stays the
// same each blended component only grows or only falls; the index is part of
// the shade, so no shade comes back once left. A slice whose lowest and
// highest depth get the same shade therefore gets it throughout; one whose
// shade changes once is split at the first depth of the new shade, found by
// halving; a slice with more changes is worked out per pixel, as is every
// pixel of a small picture or under a palette that changes shade in many
// slices. Every pixel gets exactly the shade its depth gives.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "image/filterpass.h"
#include "base/memory.h"

namespace kt {

template <typename ShadeOf>
class DepthShades {
public:
    static constexpr int slicesperunit = 256;
    static constexpr int slices = 256 * slicesperunit;

    // `largest`: no depth's whole part exceeds it but by one (plotting
    // rounds a depth just below a whole number up to it), so slices beyond
    // are never looked at and not worked out. `pixels`: how many depths will
    // be looked up.
    DepthShades(ShadeOf shadeof, std::uint32_t largest, std::size_t pixels) : shadeof_(shadeof)
    {
        const std::int64_t wanted = (static_cast<std::int64_t>(largest) + 2) * slicesperunit;
        const int count = static_cast<int>(wanted < slices ? wanted : slices);
        // A slice costs a few shades to work out: on a picture without many
        // more pixels than slices the table would cost more than it saves.
        if (pixels < static_cast<std::size_t>(count) * pixelsperslice)
            return;
        // A palette whose neighbouring entries differ widely changes shade in
        // many slices, and the branch to a split or to the rule then costs
        // more than the lookup saves: past a share of changing slices the
        // table is given up.
        const int changing = count / changingshare;
        // Only a shortcut: without room for it every pixel is worked out.
        shades_ = localarray<Shade>(static_cast<std::size_t>(count));
        splits_ = localarray<Split>(static_cast<std::size_t>(changing));
        if (!shades_ || !splits_)
            return;
        // Slices are told apart first, so that a palette that gives the
        // table up costs no halving; a changing slice keeps its two shades
        // in the split it may become.
        std::uint32_t changed = 0;
        for (int k = 0; k < count; ++k) {
            const Shade low = shadeof_(lowest(k));
            const Shade high = shadeof_(highest(k));
            if (low == high) {
                shades_[static_cast<std::size_t>(k)] = low;
                continue;
            }
            if (changed == static_cast<std::uint32_t>(changing))
                return;
            splits_[changed] = {lowest(k), low, high};
            shades_[static_cast<std::size_t>(k)] = Shade(++changed);
        }
        for (std::uint32_t n = 0; n < changed; ++n) {
            const auto k = static_cast<int>(splits_[n].first * slicesperunit);
            if (!settlesplit(k, splits_[n]))
                shades_[static_cast<std::size_t>(k)] = unsettled_;
        }
        limit_ = static_cast<float>(count) / slicesperunit;
    }

    bool tabled() const { return limit_ > 0; }
    const ShadeOf& rule() const { return shadeof_; }

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
            if (s != unsettled_) {
                const Split& split = splits_[s.packed() - 1];
                return depth < split.first ? split.below : split.above;
            }
        }
        return workedout(depth);
    }

private:
    // A table pays when it is looked up this many times per slice or more,
    // and when no more than one slice in this many changes shade.
    static constexpr std::size_t pixelsperslice = 16;
    static constexpr std::uint32_t changingshare = 8;

    // A slice of two shades: `above` from depth `first` on.
    struct Split {
        float first;
        Shade below;
        Shade above;
    };
    // Neither a shade nor the number of a split (index 0 with colour bits
    // set), for a slice worked out per pixel.
    static constexpr Shade unsettled_ = Shade(0xFFFFFFu);

    // A drawn shade has an index, an undrawn one is all zero; anything else
    // from 1 to unsettled_ stands for a split.
    static bool isshade(Shade s) { return s.packed() - 1u >= unsettled_.packed(); }

    static float lowest(int k) { return static_cast<float>(k) / slicesperunit; }
    static float highest(int k) { return std::nextafter(static_cast<float>(k + 1) / slicesperunit, 0.0f); }

    // Moves `first` from slice k's lowest depth to the first depth of the
    // high shade; false as soon as a third shade shows: the slice changes
    // more than once.
    bool settlesplit(int k, Split& split) const
    {
        // Non-negative floats are ordered as their bit patterns: halve the
        // patterns between a depth of the low shade and one of the high.
        auto below = std::bit_cast<std::uint32_t>(lowest(k));
        auto above = std::bit_cast<std::uint32_t>(highest(k));
        while (above - below > 1) {
            const std::uint32_t middle = below + (above - below) / 2;
            const Shade shade = shadeof_(std::bit_cast<float>(middle));
            if (shade == split.below)
                below = middle;
            else if (shade == split.above)
                above = middle;
            else
                return false;
        }
        split.first = std::bit_cast<float>(above);
        return true;
    }

    [[gnu::noinline]] Shade workedout(float depth) const { return shadeof_(depth); }

    ShadeOf shadeof_;
    LocalArray<Shade> shades_;
    LocalArray<Split> splits_;
    float limit_ = 0; // without a table no depth is looked up
};

} // namespace kt
