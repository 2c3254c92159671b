#pragma once
// A test of the desktop program's parts starts from a desktop as the program
// starts it, with its engine drawing into a fresh off-screen image of res x
// res pixels, and sees what the engine and the filters show as the desktop
// shows it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/memory.h"
#include "base/surface.h"
#include "engine/enginestate.h"
#include "support/engine/pictures.h"
#include "files/atomicfile.h"
#include "shell/desktop.h"
#include "support/platform/platformreset.h"
#include "support/platform/testwindow.h"

namespace kt::testing {

// The window system and the injected failures as at process start.
inline void resetprogram()
{
    resetplatform();
    injectallocationfailures(0);
    Surface::injectcreatefailures(0);
    AtomicFile::injectwritefailure(-1);
}

// A test with a desktop of its own, fresh for each test, which shows what
// compute code reports.
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override { freshdesktop(); }
    void TearDown() override { resetprogram(); }

    // The program as it starts again: its windows go before the desktop
    // they keep.
    void freshdesktop()
    {
        resetprogram();
        desktop = std::make_unique<Desktop>();
    }

    std::unique_ptr<Desktop> desktop;
};

class DesktopStateTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        useimage(desktop->engine.res);
    }

    void useimage(int res)
    {
        desktop->engine.res = res;
        image = std::make_unique<Surface>(res, res);
        desktop->engine.g_vhdc = image.get();
    }

    std::vector<float> hitcountcopy() const { return hitcountsof(desktop->engine); }
    std::vector<std::uint32_t> pixelcopy() const { return pixelsof(*image); }
    int countpixels(COLORREF colour) const { return testing::countpixels(*image, colour); }

    std::unique_ptr<Surface> image;
};

} // namespace kt::testing
