#pragma once
// The colour tables: 256 entries of red, green, blue bytes, entry k at byte 3k.
// Entry 0 is never painted. The engine colours with them, so they sit with it.
#include <array>
#include <cstdint>

#include "base/colour.h"

namespace kt {

using Palette = std::array<std::uint8_t, 768>;

struct KeyColour {
    int entry;
    int red, green, blue;
};

// Joins consecutive key colours with straight ramps, each component rounded to
// the nearest multiple of 4 (the 6-bit DAC steps the tables were made for).
template <std::size_t N>
constexpr Palette rampedpalette(const KeyColour (&keys)[N])
{
    Palette table{};
    for (std::size_t k = 0; k + 1 < N; ++k) {
        const KeyColour& from = keys[k];
        const KeyColour& to = keys[k + 1];
        const int span = to.entry - from.entry;
        for (int entry = from.entry; entry <= to.entry; ++entry) {
            const int step = entry - from.entry;
            const int components[3][2] = {{from.red, to.red}, {from.green, to.green}, {from.blue, to.blue}};
            for (int c = 0; c < 3; ++c) {
                const int scaled = components[c][0] * span + (components[c][1] - components[c][0]) * step;
                table[static_cast<std::size_t>(3 * entry + c)] = static_cast<std::uint8_t>((scaled + 2 * span) /
                                                                                           (4 * span) * 4);
            }
        }
    }
    return table;
}

inline constexpr KeyColour defpal1keys[] = {
    {0, 0, 0, 0},        {1, 252, 252, 252},  {2, 252, 180, 252},  {3, 252, 120, 252}, {8, 236, 80, 236},
    {10, 228, 56, 228},  {12, 216, 48, 224},  {33, 48, 48, 224},   {55, 48, 224, 224}, {77, 48, 224, 48},
    {99, 224, 224, 224}, {121, 224, 224, 48}, {143, 224, 48, 48},  {146, 252, 24, 48}, {149, 252, 0, 36},
    {150, 252, 48, 32},  {152, 252, 48, 24},  {154, 252, 48, 32},  {169, 128, 48, 96}, {177, 128, 48, 128},
    {189, 224, 48, 224}, {211, 48, 48, 224},  {220, 48, 120, 224}, {242, 252, 144, 0}, {255, 252, 252, 0},
};

inline constexpr KeyColour defpal2keys[] = {
    {0, 0, 0, 0},       {20, 148, 0, 0},    {47, 252, 4, 0},      {91, 252, 252, 0},
    {136, 0, 120, 252}, {181, 252, 0, 252}, {226, 252, 252, 252}, {255, 120, 120, 120},
};

inline constexpr Palette defpal1 = rampedpalette(defpal1keys);
inline constexpr Palette defpal2 = rampedpalette(defpal2keys);

inline COLORREF palettecolour(const Palette& table, unsigned entry)
{
    return RGB(table[3 * entry], table[3 * entry + 1], table[3 * entry + 2]);
}

} // namespace kt
