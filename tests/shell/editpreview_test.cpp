#include <gtest/gtest.h>

#include <map>
#include <string>
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

// An edit the chaos screen would refuse says why over its preview, with
// the measure that decided; one it passes has no caption.
TEST_F(EditPreviewTest, ARefusedSetsPreviewIsCaptionedWithTheReason)
{
    const struct {
        const char* name;
        std::map<int, std::string> fields;
        double fdlimit;
        std::vector<std::string> caption; // the lines' beginnings; none for a pass
        bool formula2 = false;
    } cases[] = {
        {"escapes", {{620, "20"}, {623, "20"}}, 1.5, {"Refused by the chaos screen:", "the orbit escapes"}},
        {"contraction",
         {{620, "0"}, {621, "0"}, {622, "0"}, {623, "0.9999"}, {624, "0"}, {625, "2"}},
         1.5,
         {"Fails the chaos screen (OK warns):", "not chaotic (Lyapunov exponent -0.000"}},
        {"dimension below a limit of 2",
         {{620, "-2.2"}},
         2.0,
         {"Fails the chaos screen (OK warns):", "low dimension (fractal dimension 1."}},
        {"passes", {{620, "-2.2"}}, 1.5, {}},
        {"too slow to screen while typing",
         {{625, "60"}, {626, "30"}},
         1.5,
         {"Not screened while editing:", "OK screens this set"},
         true},
    };
    paused([&] {
        std::map<std::string, std::vector<std::uint32_t>> shown;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            desktop->screening.FDLimit = c.fdlimit;
            headless().dialogscripts.push_back([&](HWND d) {
                if (c.formula2)
                    userclicks(d, 651);
                for (const auto& [id, text] : c.fields) {
                    headless().texts.clear();
                    usertypes(d, id, text);
                }
                ASSERT_EQ(headless().texts.size(), c.caption.size());
                for (std::size_t k = 0; k < c.caption.size(); ++k)
                    EXPECT_EQ(headless().texts[k].rfind(c.caption[k], 0), 0u) << headless().texts[k];
                shown[c.name] = pixels(*shownimage(*desktop));
                EXPECT_EQ(mainwindow()->client.getpixel(2, 2), shownimage(*desktop)->getpixel(2, 2))
                    << "painted in the window";
            });
            command(cmdparameters);
            EXPECT_EQ(desktop->screening.FDLimit, c.fdlimit) << "the preview's screen leaves the dialog's state";
        }
        // The same set under two limits: the refused one differs by its
        // caption at the view's corner, and only there.
        const std::vector<std::uint32_t>& refused = shown["dimension below a limit of 2"];
        const std::vector<std::uint32_t>& passed = shown["passes"];
        ASSERT_EQ(refused.size(), passed.size());
        const std::size_t side = desktop->engine.res;
        std::size_t cornerdiffers = 0;
        for (std::size_t y = 0; y < side; ++y)
            for (std::size_t x = 0; x < side; ++x) {
                const bool differs = refused[y * side + x] != passed[y * side + x];
                if (y >= side / 4) {
                    ASSERT_FALSE(differs) << "at " << x << ", " << y;
                }
                cornerdiffers += differs;
            }
        EXPECT_GT(cornerdiffers, 1000u) << "a caption band and its text";
    });
}

} // namespace
} // namespace kt
