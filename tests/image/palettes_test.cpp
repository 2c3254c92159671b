#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

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

// The maps' published values (matplotlib's data, 0..1) at entries 0, 64,
// 128, 192 and 255 of 256; twilight's 510 colours are taken at the same
// places along the map.
struct Published {
    const char* name;
    double rgb[5][3];
};

constexpr Published published[] = {
    {"inferno",
     {{0.001462, 0.000466, 0.013866},
      {0.3415, 0.062325, 0.429425},
      {0.735683, 0.215906, 0.330245},
      {0.978422, 0.557937, 0.034931},
      {0.988362, 0.998364, 0.644924}}},
    {"magma",
     {{0.001462, 0.000466, 0.013866},
      {0.316654, 0.07169, 0.48538},
      {0.716387, 0.214982, 0.47529},
      {0.9867, 0.535582, 0.38221},
      {0.987053, 0.991438, 0.749504}}},
    {"viridis",
     {{0.267004, 0.004874, 0.329415},
      {0.229739, 0.322361, 0.545706},
      {0.127568, 0.566949, 0.550556},
      {0.369214, 0.788888, 0.382914},
      {0.993248, 0.906157, 0.143936}}},
    {"cividis",
     {{0.0, 0.135112, 0.304751},
      {0.263738, 0.307831, 0.422789},
      {0.488697, 0.485318, 0.471008},
      {0.736488, 0.680629, 0.424028},
      {0.995737, 0.909344, 0.217772}}},
    {"twilight",
     {{0.885750, 0.850009, 0.887974},
      {0.383122, 0.457063, 0.729846},
      {0.187745, 0.077252, 0.213874},
      {0.700630, 0.342730, 0.323054},
      {0.885712, 0.850022, 0.885725}}},
    // fire is afmhot: red 2x, green 2x - 1/2, blue 2x - 1, clipped to 0..1.
    {"fire",
     {{0, 0, 0},
      {128 / 255.0, 0, 0},
      {1, 256 / 255.0 - 0.5, 256 / 255.0 - 1},
      {1, 384 / 255.0 - 0.5, 384 / 255.0 - 1},
      {1, 1, 1}}},
    {"grey",
     {{0, 0, 0},
      {64 / 255.0, 64 / 255.0, 64 / 255.0},
      {128 / 255.0, 128 / 255.0, 128 / 255.0},
      {192 / 255.0, 192 / 255.0, 192 / 255.0},
      {1, 1, 1}}},
};

TEST(Palettes, NamedMapsMatchTheirPublishedValues)
{
    const int entries[] = {0, 64, 128, 192, 255};
    for (const Published& map : published) {
        const Palette* table = namedpalette(map.name);
        ASSERT_NE(table, nullptr) << map.name;
        for (int k = 0; k < 5; ++k)
            for (int c = 0; c < 3; ++c) {
                const double expected = std::clamp(map.rgb[k][c], 0.0, 1.0) * 255;
                EXPECT_LE(std::abs((*table)[3 * entries[k] + c] - expected), 1.0)
                    << map.name << " entry " << entries[k] << " component " << c;
            }
    }
}

TEST(Palettes, NamesFindTheBuiltInTablesAndNothingElse)
{
    EXPECT_EQ(namedpalette("1"), &defpal1);
    EXPECT_EQ(namedpalette("2"), &defpal2);
    for (const char* unknown : {"", "3", "Inferno", "inferno ", "fire.map"})
        EXPECT_EQ(namedpalette(unknown), nullptr) << unknown;
    const std::string names = palettenames();
    for (const NamedPalette& named : namedpalettes())
        EXPECT_NE(names.find(named.name), std::string::npos) << named.name;
    EXPECT_EQ(namedpalettes().size(), 9u);
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
