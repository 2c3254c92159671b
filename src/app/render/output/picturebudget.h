#pragma once
// How many pictures, each with its hit counts, a run holds at once: bounded
// by memory rather than by the threads, so that a machine with many cores
// does not run out of memory for having them.
#include <algorithm>
#include <cstdint>

namespace kt {

// The pictures and hit counts held at once stay within this.
constexpr std::uint64_t picturebudget = std::uint64_t{1} << 30;

// A picture's pixels and hit counts.
constexpr int renderbytesperpixel = sizeof(float) + sizeof(std::uint32_t);
// The depth tone's sums beside the hit counts.
constexpr int depthsumbytesperpixel = sizeof(float);
// While its PNG file is written: the pixels as bytes and the encoding.
constexpr int pngbytesperpixel = 7;

// At least 1, at most `wanted`, within `budget` bytes.
inline int picturesatonce(int side, int wanted, int bytesperpixel = renderbytesperpixel,
                          std::uint64_t budget = picturebudget)
{
    const std::uint64_t perpicture = std::uint64_t(side) * side * bytesperpixel;
    return static_cast<int>(std::clamp<std::uint64_t>(budget / perpicture, 1, std::max(wanted, 1)));
}

} // namespace kt
