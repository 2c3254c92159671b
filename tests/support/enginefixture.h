#pragma once
// Every engine-facing test starts from the program's start-up state with a
// fresh off-screen image of res x res pixels.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/program.h"
#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "engine/enginestate.h"
#include "files/atomicfile.h"
#include "engine/filenames.h"
#include "support/scriptedbackend.h"
#include "shell/desktoppresentation.h"
#include "shell/shellstate.h"
#include "support/testwindow.h"
#include "base/memory.h"
#include "base/surface.h"
#include "parts/programparts.h"

namespace kt::testing {

inline void resetprogram()
{
    program().reset();
    headless().reset();
    // What the engine and the filters show is seen as the desktop shows it.
    setpresentation(&desktoppresentation());
    injectallocationfailures(0);
    Surface::injectcreatefailures(0);
    AtomicFile::injectwritefailure(-1);
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetprogram();
        useimage(engine.res);
    }
    void TearDown() override { resetprogram(); }

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

    std::vector<float> hitcountcopy() const
    {
        return std::vector<float>(engine.hitcount.get(),
                                  engine.hitcount.get() + static_cast<std::size_t>(engine.res) * engine.res);
    }

    std::vector<std::uint32_t> pixelcopy() const
    {
        return std::vector<std::uint32_t>(image->bits(),
                                          image->bits() + static_cast<std::size_t>(image->width()) * image->height());
    }

    int countpixels(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                count += image->getpixel(x, y) == colour;
        return count;
    }

    std::unique_ptr<Surface> image;
};

} // namespace kt::testing
