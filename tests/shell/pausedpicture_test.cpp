#include <gtest/gtest.h>

#include <functional>

#include "analysis/randomsearch.h"
#include "engine/driver.h"
#include "shell/desktoppresentation.h"
#include "shell/paramdialog.h"
#include "support/platform/dialogscript.h"
#include "support/shell/desktopstatefixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

// A paused picture must go on as it was after anything that only screened
// sets: a refused and cancelled dialog, a search that found nothing, a
// winner the user declined.
class PausedPictureTest : public testing::DesktopStateTest {
protected:
    struct Picture {
        std::vector<float> hits;
        std::vector<std::uint32_t> pixels;
        std::uint32_t hitmax;
        real coefficients[5];
        VOXEL z;
        int np;
    };

    Picture rendered(const std::function<void()>& between)
    {
        freshdesktop();
        useimage(300);
        desktop->engine.type = 1;
        desktop->engine.icon[1] = startset;
        desktop->engine.newimage = 1;
        for (int batch = 0; batch < 3; ++batch)
            EXPECT_EQ(imagebatch(desktop->context, desktop->engine), 0);
        between();
        for (int batch = 0; batch < 3; ++batch)
            EXPECT_EQ(imagebatch(desktop->context, desktop->engine), 0);
        return {hitcountcopy(),
                pixelcopy(),
                desktop->engine.hitmax,
                {desktop->engine.a, desktop->engine.b, desktop->engine.c, desktop->engine.d, desktop->engine.e},
                desktop->engine.z,
                desktop->engine.np};
    }

    ICON startset = builtinicon2;
};

TEST_F(PausedPictureTest, ScreeningThatStoresNothingLeavesThePictureAsItWas)
{
    const struct {
        const char* what;
        ICON start;
        std::function<void()> action;
    } cases[] = {
        {"an unstable set refused by OK, then Cancel", builtinicon2,
         [&] {
             desktop->paramsaves = ParamDialogSaves{desktop->engine.icon[1], 1};
             desktop->engine.saveres = desktop->engine.res;
             testing::rundialog(paramdialog, ParamDialogProc, dialogparam(*desktop), [&](HWND d) {
                 usertypes(d, 620, "20");
                 usertypes(d, 623, "20");
                 userclicks(d, IDOK);
                 userclicks(d, IDCANCEL);
             });
         }},
        {"a search whose every candidate escapes",
         ICON{builtinicon2.a, builtinicon2.b, builtinicon2.c, builtinicon2.d, builtinicon2.e, builtinicon2.n,
              builtinicon2.p, 1.0, 1e8, 1e8, 0.1},
         [&] {
             EXPECT_EQ(randomparams(desktop->context, desktop->engine, desktop->search, desktop->screening, askuser, 3), searchexhausted);
         }},
        {"a winner declined in parameter display", builtinicon2,
         [&] {
             desktop->search.debugflag = 1;
             headless().answers.push_back(IDNO);
             EXPECT_EQ(randomparams(desktop->context, desktop->engine, desktop->search, desktop->screening, askuser, 99), searchrejected);
             ASSERT_EQ(headless().messageboxes.size(), 1u);
             const auto& box = headless().messageboxes[0];
             EXPECT_EQ(box.caption, "Accept Parameters?");
             EXPECT_EQ(box.type, MB_YESNO | MB_ICONINFORMATION);
             EXPECT_EQ(box.owner, nullptr);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startset = c.start;
        const Picture alone = rendered([&] {});
        const Picture after = rendered(c.action);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(after.coefficients[k], alone.coefficients[k]) << k;
        EXPECT_TRUE(after.z.x == alone.z.x && after.z.y == alone.z.y && after.z.z == alone.z.z);
        EXPECT_EQ(after.np, alone.np);
        EXPECT_EQ(after.hitmax, alone.hitmax);
        EXPECT_TRUE(after.hits == alone.hits);
        EXPECT_TRUE(after.pixels == alone.pixels);
    }
}

} // namespace
} // namespace kt
