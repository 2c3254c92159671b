#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "shell/rotationdialogs.h"
#include "analysis/screening.h"
#include "support/platform/dialogscript.h"
#include "support/shell/desktopstatefixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class RotationDialogTest : public testing::DesktopStateTest {
protected:
    testing::DialogRun confirm(std::map<int, std::string> typed, int clickFirst = 0)
    {
        return testing::rundialog(rotationdialog, RotationDialogProc, dialogparam(*desktop), [=](HWND d) {
            for (const auto& [id, text] : typed)
                usertypes(d, id, text);
            if (clickFirst)
                userclicks(d, clickFirst);
            userclicks(d, IDOK);
        });
    }
};

TEST_F(RotationDialogTest, AnglesAreClampedAndTheOrderChosen)
{
    confirm({{910, "-30"}, {911, "400"}, {912, "360"}}, 945);
    EXPECT_EQ(desktop->engine.rot[0].x, 0);
    EXPECT_NEAR(static_cast<double>(desktop->engine.rot[0].y), 360, 1e-12);
    EXPECT_LE(desktop->engine.rot[0].z, 360) << "truncation never rounds up";
    EXPECT_EQ(desktop->engine.rotationorder, 5);
    EXPECT_EQ(desktop->engine.rot[1].x, 0) << "the other formula's angles are untouched";
}

TEST_F(RotationDialogTest, TruncationKeepsTwelveDecimalsOfTheBinaryValue)
{
    confirm({{910, "12.3456789012345678"}});
    const real x = desktop->engine.rot[0].x;
    EXPECT_LT(x, 12.345678901235L);
    EXPECT_GT(x, 12.345678901233L);
    EXPECT_NEAR(static_cast<double>(x), 12.345678901234, 1e-12);
}

TEST_F(RotationDialogTest, ConfirmingAWholeAngleAgainChangesNothing)
{
    confirm({{910, "30"}, {911, "12.5"}, {912, "45.25"}});
    const VOXEL first = desktop->engine.rot[0];
    auto again = confirm({});
    EXPECT_EQ(again.shown[910], "30.000000000000000");
    EXPECT_EQ(again.shown[911], "12.500000000000000");
    EXPECT_EQ(desktop->engine.rot[0].x, first.x);
    EXPECT_EQ(desktop->engine.rot[0].y, first.y);
    EXPECT_EQ(desktop->engine.rot[0].z, first.z);
}

TEST_F(RotationDialogTest, CancelChangesNothing)
{
    desktop->engine.rot[0] = VOXEL{1, 2, 3};
    desktop->engine.rotationorder = 2;
    auto run = testing::rundialog(rotationdialog, RotationDialogProc, dialogparam(*desktop), [&](HWND d) {
        usertypes(d, 910, "99");
        userclicks(d, 940);
        userclicks(d, IDCANCEL);
    });
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.checked[942]);
    EXPECT_EQ(desktop->engine.rot[0].x, 1);
    EXPECT_EQ(desktop->engine.rotationorder, 2);
}

TEST(FDDialog, LimitIsClamped)
{
    const auto desktop = std::make_unique<Desktop>();
    const struct {
        const char* text;
        double stored;
    } table[] = {{"0.1", 0.25}, {"2", 1.75}, {"abc", 0.25}, {"1.6", 1.6}, {"nan", 0.25}};
    for (const auto& row : table) {
        desktop->screening.FDLimit = 1.5;
        auto run = testing::rundialog(fddialog, FDDialogProc, dialogparam(*desktop), [&](HWND d) {
            usertypes(d, 710, row.text);
            userclicks(d, IDOK);
        });
        EXPECT_EQ(run.shown[710], "1.500000000000000");
        EXPECT_EQ(desktop->screening.FDLimit, row.stored) << row.text;
    }
    testing::rundialog(fddialog, FDDialogProc, dialogparam(*desktop), [&](HWND d) {
        usertypes(d, 710, "1.7");
        userclicks(d, IDCANCEL);
    });
    EXPECT_EQ(desktop->screening.FDLimit, 0.25);
    desktop->screening.FDLimit = 1.5;
}

} // namespace
} // namespace kt
