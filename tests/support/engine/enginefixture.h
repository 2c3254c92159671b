#pragma once
// An engine state of the test's own with a fresh off-screen image of
// res x res pixels, as the engine's callers hand it over, and a context of
// its own to render it with. The failures a test injects are process-wide, so
// none outlives its test.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/memory.h"
#include "base/surface.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"
#include "support/engine/pictures.h"

namespace kt::testing {

inline void clearprocesswidestate()
{
    injectallocationfailures(0);
    Surface::injectcreatefailures(0);
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest()
    {
        clearprocesswidestate();
        useimage(engine.res);
    }
    ~EngineTest() override { clearprocesswidestate(); }

    void useimage(int res)
    {
        engine.res = res;
        image = std::make_unique<Surface>(res, res);
        engine.g_vhdc = image.get();
    }

    // A zeroed hit-count buffer of the current size, as a new image leaves it;
    // the engine owns it, as it owns the one it allocates itself.
    void usehitcounts()
    {
        engine.hitcount = localarray<float>(static_cast<std::size_t>(engine.res) * engine.res);
        engine.hcres = engine.res;
    }

    std::vector<float> hitcountcopy() const { return hitcountsof(engine); }
    std::vector<std::uint32_t> pixelcopy() const { return pixelsof(*image); }
    int countpixels(COLORREF colour) const { return testing::countpixels(*image, colour); }

    RenderContext ctx;
    EngineState engine;
    std::unique_ptr<Surface> image;
};

} // namespace kt::testing
