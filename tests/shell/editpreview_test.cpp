#include <gtest/gtest.h>

#include <vector>

#include "shell/desktop.h"
#include "shell/resources.h"
#include "shell/view.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

using EditPreviewTest = testing::ProgramTest;

std::vector<std::uint32_t> pixels(const Surface& image)
{
    return {image.bits(), image.bits() + image.width() * image.height()};
}

// An edit in the Parameters or Rotation dialog shows its picture at once,
// before OK, over a render that stays whole; closing the dialog ends it.
TEST_F(EditPreviewTest, AFieldChangeShowsItsPictureBeforeOk)
{
    const struct {
        UINT command;
        int field;
        const char* text;
    } cases[] = {{cmdparameters, 620, "-2.1"}, {cmdrotate, 910, "40"}};
    paused([&] {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text);
            const std::vector<std::uint32_t> render = pixels(*desktop->engine.g_vhdc);
            const std::uint32_t steps = desktop->engine.itercount;
            bool shown = false;
            headless().dialogscripts.push_back([&](HWND d) {
                usertypes(d, c.field, c.text);
                shown = desktop->shell.previewing;
                EXPECT_NE(pixels(*shownimage(*desktop)), render) << "the edited picture is shown";
                const Surface& window = mainwindow()->client;
                const Surface& preview = *shownimage(*desktop);
                for (int x = 0; x < 300; ++x)
                    ASSERT_EQ(window.getpixel(x, 300), preview.getpixel(x, 300)) << "painted in the window, at " << x;
                EXPECT_EQ(pixels(*desktop->engine.g_vhdc), render) << "over the render";
            });
            command(c.command);
            EXPECT_TRUE(shown);
            EXPECT_FALSE(desktop->shell.previewing) << "cancelled: the render shows again";
            EXPECT_EQ(desktop->engine.itercount, steps);
            EXPECT_EQ(desktop->engine.newimage, 0);
        }
    });
}

} // namespace
} // namespace kt
