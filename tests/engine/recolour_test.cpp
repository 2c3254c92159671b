#include <gtest/gtest.h>

#include <vector>

#include "engine/driver.h"
#include "engine/manyorbits.h"
#include "engine/recolour.h"
#include "engine/rendercontext.h"

namespace kt {
namespace {

// A picture drawn in one palette and background, then recoloured in others,
// is the picture drawn in those from the start.
TEST(Recolour, IsThePictureDrawnInTheNewColours)
{
    Palette ramp{};
    for (int k = 0; k < 256; ++k)
        for (int c = 0; c < 3; ++c)
            ramp[3 * k + c] = static_cast<std::uint8_t>(c == 1 ? 255 - k : k);
    const struct {
        const char* name;
        VOXEL angles;
        int orbits; // 1: the exact orbit, batch by batch
    } cases[] = {{"exact flat", {}, 1}, {"exact turned", {30, 45, 0}, 1}, {"many orbits", {20, 0, 10}, 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto draw = [&](const Palette& colours, COLORREF back, EngineState& s, Surface& image) {
            s.res = 200;
            s.rot[0] = c.angles;
            s.palette = colours;
            s.back = back;
            s.g_vhdc = &image;
            RenderContext ctx(2);
            if (c.orbits > 1) {
                ASSERT_EQ(renderorbits(ctx, s, c.orbits, 300, [](std::uint64_t) { return true; }), OrbitsResult::done);
                return;
            }
            for (int b = 0; b < 300; ++b)
                ASSERT_EQ(imagebatch(ctx, s), 0);
        };
        EngineState before, fresh;
        Surface beforeimage(200, 200), freshimage(200, 200);
        draw(defpal1, defaultback, before, beforeimage);
        draw(ramp, RGB(10, 20, 30), fresh, freshimage);
        const std::uint32_t hitmax = before.hitmax;
        before.palette = ramp;
        before.back = RGB(10, 20, 30);
        recolour(before);
        EXPECT_EQ(before.hitmax, hitmax);
        EXPECT_EQ(std::vector<std::uint32_t>(beforeimage.bits(), beforeimage.bits() + 200 * 200),
                  std::vector<std::uint32_t>(freshimage.bits(), freshimage.bits() + 200 * 200));
    }
}

} // namespace
} // namespace kt
