#pragma once
// A test of the desktop program's parts starts from the program's start-up
// state, with the program's own engine drawing into a fresh off-screen image
// of res x res pixels, and sees what the engine and the filters show as the
// desktop shows it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/memory.h"
#include "base/surface.h"
#include "engine/enginestate.h"
#include "support/engine/pictures.h"
#include "files/atomicfile.h"
#include "parts/programparts.h"
#include "shell/desktoppresentation.h"
#include "shell/shellstate.h"
#include "support/platform/platformreset.h"
#include "support/platform/testwindow.h"

namespace kt::testing {

inline void resetprogram()
{
    resetplatform();
    setpresentation(&desktoppresentation());
    injectallocationfailures(0);
    Surface::injectcreatefailures(0);
    AtomicFile::injectwritefailure(-1);
}

class DesktopStateTest : public ::testing::Test {
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

    std::vector<float> hitcountcopy() const { return hitcountsof(engine); }
    std::vector<std::uint32_t> pixelcopy() const { return pixelsof(*image); }
    int countpixels(COLORREF colour) const { return testing::countpixels(*image, colour); }

    std::unique_ptr<Surface> image;
};

} // namespace kt::testing
