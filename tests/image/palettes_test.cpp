#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/enginestate.h"
#include "image/palettes.h"

namespace kt {
namespace {

template <std::size_t N>
void expectrampsthrough(const Palette& table, const KeyColour (&keys)[N])
{
    for (std::size_t k = 0; k < 768; ++k)
        ASSERT_EQ(table[k] % 4, 0) << "byte " << k << " is not a multiple of 4";
    for (std::size_t k = 0; k < N; ++k) {
        const KeyColour& key = keys[k];
        EXPECT_EQ(palettecolour(table, static_cast<unsigned>(key.entry)), RGB(key.red, key.green, key.blue))
            << "key entry " << key.entry;
    }
    for (std::size_t k = 0; k + 1 < N; ++k) {
        const KeyColour& a = keys[k];
        const KeyColour& b = keys[k + 1];
        for (int entry = a.entry; entry <= b.entry; ++entry) {
            const double t = static_cast<double>(entry - a.entry) / (b.entry - a.entry);
            const int line[3] = {a.red, a.green, a.blue};
            const int end[3] = {b.red, b.green, b.blue};
            for (int c = 0; c < 3; ++c) {
                const double expected = line[c] + (end[c] - line[c]) * t;
                EXPECT_LE(std::abs(table[3 * entry + c] - expected), 4.0) << "entry " << entry;
            }
        }
    }
}

TEST(Palettes, DefaultPaletteOneFollowsItsKeyColours)
{
    expectrampsthrough(defpal1, defpal1keys);
    EXPECT_EQ(palettecolour(defpal1, 0), RGB(0, 0, 0));
}

TEST(Palettes, DefaultPaletteTwoFollowsItsKeyColours)
{
    expectrampsthrough(defpal2, defpal2keys);
    EXPECT_EQ(palettecolour(defpal2, 20), RGB(148, 0, 0));
    EXPECT_EQ(defpal2[3], 8) << "red rises by 8 per entry from black";
    EXPECT_EQ(defpal2[6], 16);
}

TEST(Palettes, GenpaletteMakesATableCurrent)
{
    EngineState engine;
    EXPECT_EQ(engine.palette, defpal1) << "palette 1 at start";
    genpalette(engine, defpal2);
    EXPECT_EQ(palettecolour(engine.palette, 20), RGB(148, 0, 0));
}

} // namespace
} // namespace kt
