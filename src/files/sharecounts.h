#pragma once
// A share's hit counts on disk (--part K/N of a many-orbit picture), for the
// share that joins them: the counts as 32-bit integers after a header naming
// the settings they were drawn with and the scale, so that a file of other
// settings, or one cut short, is told from a share's own before a count of
// it is added.
#include <cstdint>
#include <string>

namespace kt {

class RenderContext;

// Bytes of the counts of a picture `side` pixels square, besides the header.
inline std::uint64_t sharecountsbytes(int side)
{
    return static_cast<std::uint64_t>(side) * side * sizeof(std::uint32_t);
}

// Writes the `side` x `side` counts `hits` (whole numbers, as the engine
// counts them) to `path`, whole or not at all: a save-error code.
int writesharecounts(const RenderContext& ctx, const std::string& path, const std::string& settings, double scale,
                     const float* hits, int side);

struct SharedCounts {
    std::string problem; // "" when the counts were added
    double scale = 0;    // the scale they were drawn at
};

// Adds the counts in `path` to `hits`, a side x side picture's, when the
// file holds counts of `settings` at that side, whole; otherwise says why,
// and `hits` are then no sum to draw from.
// A sum stops where a count of the engine's does, at 2^24, so the sum is the
// count one run makes of the same points, in any order of the shares.
SharedCounts addsharecounts(const std::string& path, const std::string& settings, int side, float* hits);

} // namespace kt
