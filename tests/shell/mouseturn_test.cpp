#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/driver.h"
#include "engine/workers.h"
#include "platform/dialog.h"
#include "shell/mouseturn.h"
#include "shell/view.h"
#include "support/shell/programfixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class MouseTurnTest : public testing::ProgramTest {
protected:
    void mouse(UINT message, int x, int y) { SendMessageA(desktop->shell.g_hWnd, message, 0, MAKELPARAM(x, y)); }
};

// The picture a copy of `state` makes in `batches` batches from a new image.
std::vector<std::uint32_t> rendered(const EngineState& state, int batches)
{
    RenderContext ctx;
    EngineState copy(state);
    Surface image(copy.res, copy.res);
    copy.g_vhdc = &image;
    copy.newimage = 1;
    for (int k = 0; k < batches; ++k)
        imagebatch(ctx, copy);
    return std::vector<std::uint32_t>(image.bits(), image.bits() + copy.res * copy.res);
}

TEST_F(MouseTurnTest, AMiddleDragTurnsByTheDistanceAndEndsInTheRotationDialogsPicture)
{
    paused([&] {
        const std::vector<std::uint32_t> flat(desktop->engine.g_vhdc->bits(),
                                              desktop->engine.g_vhdc->bits() + 600 * 600);
        mouse(WM_MBUTTONDOWN, 300, 300);
        mouse(WM_MOUSEMOVE, 340, 290);
        ASSERT_TRUE(desktop->shell.previewing);
        const Surface& shown = *shownimage(*desktop);
        const std::vector<std::uint32_t> preview(shown.bits(), shown.bits() + 600 * 600);
        EXPECT_NE(preview, flat) << "the preview shows the turned icon";
        EXPECT_EQ(std::vector<std::uint32_t>(desktop->engine.g_vhdc->bits(), desktop->engine.g_vhdc->bits() + 600 * 600),
                  flat)
            << "over the render, which stays whole";
        EXPECT_EQ(desktop->engine.rot[0].y, 0) << "nothing is set before the release";
        mouse(WM_MBUTTONUP, 345, 280);
        settle();
        // 45 pixels right turn about Y, 20 up about X, half a degree each.
        EXPECT_EQ(desktop->engine.rot[0].x, 350.0L);
        EXPECT_EQ(desktop->engine.rot[0].y, 22.5L);
        EXPECT_EQ(desktop->engine.rot[0].z, 0.0L);
        EXPECT_EQ(desktop->engine.okicon, 1) << "the exact render starts";
        EXPECT_EQ(desktop->engine.newimage, 1);
        const EngineState dragged(desktop->engine);
        press('R');
        settle();

        desktop->engine.rot[0] = VOXEL{0, 0, 0};
        headless().dialogscripts.push_back([&](HWND d) {
            usertypes(d, 910, "350");
            usertypes(d, 911, "22.5");
            usertypes(d, 912, "0");
            userclicks(d, IDOK);
        });
        command(cmdrotate);
        EXPECT_EQ(rendered(desktop->engine, 30), rendered(dragged, 30));

        const double scale = desktop->engine.icon[0].scale;
        SendMessageA(mainwindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(300, 300));
        EXPECT_DOUBLE_EQ(desktop->shell.zoomedscale, scale / zoomstep) << "a notch away zooms in";
        SendMessageA(mainwindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -60 * WHEEL_DELTA), MAKELPARAM(300, 300));
        EXPECT_EQ(desktop->shell.zoomedscale, 5.0) << "no further than the Parameters dialog goes";
        EXPECT_EQ(desktop->engine.icon[0].scale, scale) << "the set keeps its scale until rendering starts";
        press('R');
        settle();
        EXPECT_EQ(desktop->engine.icon[0].scale, 5.0);
        EXPECT_EQ(desktop->engine.newimage, 1);
        EXPECT_FALSE(desktop->shell.previewing);
        press('R');
        settle();
    });
}

// A zoom in and back out changes nothing: the render's image and steps stay
// through the preview, and saving meanwhile saves the render.
TEST_F(MouseTurnTest, AWheelZoomAndBackKeepsTheRender)
{
    paused([&] {
        const EngineState& s = desktop->engine;
        const std::uint32_t steps = s.itercount;
        const std::vector<std::uint32_t> before(s.g_vhdc->bits(), s.g_vhdc->bits() + 600 * 600);
        const std::vector<float> hits(s.hitcount.get(), s.hitcount.get() + 600 * 600);
        SendMessageA(mainwindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(300, 300));
        EXPECT_NE(std::vector<std::uint32_t>(shownimage(*desktop)->bits(), shownimage(*desktop)->bits() + 600 * 600),
                  before);
        SendMessageA(mainwindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(300, 300));
        EXPECT_FALSE(desktop->shell.previewing);
        EXPECT_EQ(s.itercount, steps);
        EXPECT_EQ(s.newimage, 0);
        EXPECT_EQ(std::vector<std::uint32_t>(s.g_vhdc->bits(), s.g_vhdc->bits() + 600 * 600), before);
        EXPECT_EQ(std::vector<float>(s.hitcount.get(), s.hitcount.get() + 600 * 600), hits);
    });
}

TEST(MouseTurn, ThePreviewIsTheSameOnAnyNumberOfThreads)
{
    EngineState state;
    std::vector<std::vector<std::uint32_t>> drawn;
    for (int threads : {1, 2, 5}) {
        RenderContext ctx(threads);
        TurnPreview preview;
        preview.take(ctx, state);
        Surface image(state.res, state.res);
        preview.draw(ctx, state, VOXEL{30, 45, 60}, 1.2, image);
        drawn.emplace_back(image.bits(), image.bits() + state.res * state.res);
    }
    EXPECT_EQ(drawn[1], drawn[0]);
    EXPECT_EQ(drawn[2], drawn[0]);
    EXPECT_NE(std::count(drawn[0].begin(), drawn[0].end(), drawn[0][0]), static_cast<long>(drawn[0].size()))
        << "something was drawn";
}

TEST(MouseTurn, DraggedAnglesStayWithinATurn)
{
    const struct {
        VOXEL start;
        int dx, dy;
        real x, y;
    } cases[] = {{{0, 0, 0}, 10, 0, 0, 5}, {{0, 0, 0}, 0, -1, 359.5L, 0}, {{350, 355, 7}, 20, 40, 10, 5}};
    for (const auto& c : cases) {
        const VOXEL a = draggedangles(c.start, c.dx, c.dy);
        EXPECT_EQ(a.x, c.x) << c.dx << "," << c.dy;
        EXPECT_EQ(a.y, c.y) << c.dx << "," << c.dy;
        EXPECT_EQ(a.z, c.start.z);
    }
}

} // namespace
} // namespace kt
