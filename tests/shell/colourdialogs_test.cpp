#include <gtest/gtest.h>

#include "shell/colourdialogs.h"
#include "support/platform/dialogscript.h"
#include "support/shell/desktopstatefixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using ColourDialogTest = testing::DesktopStateTest;

TEST_F(ColourDialogTest, BackgroundComponentsAreReadAndClamped)
{
    auto run = testing::rundialog(backgrounddialog, BackgroundDialogProc, dialogparam(*desktop), [&](HWND d) {
        usertypes(d, 310, "300");
        usertypes(d, 311, "-5");
        usertypes(d, 312, "abc");
        userclicks(d, IDOK);
    });
    EXPECT_EQ(run.shown[310], "255");
    EXPECT_EQ(run.shown[311], "245");
    EXPECT_EQ(run.shown[312], "230");
    EXPECT_EQ(desktop->engine.red, 255);
    EXPECT_EQ(desktop->engine.green, 0);
    EXPECT_EQ(desktop->engine.blue, 0);
    EXPECT_EQ(desktop->engine.back, 0x000000FFu);

    testing::rundialog(backgrounddialog, BackgroundDialogProc, dialogparam(*desktop), [&](HWND d) {
        usertypes(d, 310, " 12xyz");
        usertypes(d, 311, "0");
        usertypes(d, 312, "255");
        userclicks(d, IDOK);
    });
    EXPECT_EQ(desktop->engine.red, 12);
    EXPECT_EQ(desktop->engine.back, 0x00FF000Cu);
}

TEST_F(ColourDialogTest, CancelKeepsTheBackground)
{
    auto run = testing::rundialog(backgrounddialog, BackgroundDialogProc, dialogparam(*desktop), [&](HWND d) {
        usertypes(d, 310, "1");
        userclicks(d, IDCANCEL);
    });
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(desktop->engine.back, RGB(255, 245, 230));
}

TEST_F(ColourDialogTest, ColouringMethodFollowsTheRadioButtons)
{
    desktop->engine.cmethod = 1;
    auto run = testing::rundialog(coloringdialog, ColoringMethodDialogProc, dialogparam(*desktop),
                                  [&](HWND d) { userclicks(d, IDOK); });
    EXPECT_TRUE(run.checked[411]);
    EXPECT_FALSE(run.checked[410]);
    EXPECT_EQ(desktop->engine.cmethod, 1);
    run = testing::rundialog(coloringdialog, ColoringMethodDialogProc, dialogparam(*desktop), [&](HWND d) {
        userclicks(d, 410);
        userclicks(d, IDOK);
    });
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(desktop->engine.cmethod, 0);
    testing::rundialog(coloringdialog, ColoringMethodDialogProc, dialogparam(*desktop), [&](HWND d) {
        userclicks(d, 411);
        userclicks(d, IDCANCEL);
    });
    EXPECT_EQ(desktop->engine.cmethod, 0);
    EXPECT_EQ(headless().dialogs.back(), "Select the Coloring Method");
}

} // namespace
} // namespace kt
