#include <gtest/gtest.h>

#include "platform/clipboard.h"
#include "shell/desktop.h"
#include "shell/view.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

using ViewCommandTest = testing::ProgramTest;

bool samepixels(const Surface& a, const Surface& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.getpixel(x, y) != b.getpixel(x, y))
                return false;
    return true;
}

// Ctrl+C puts the whole picture on the clipboard, the part scrolled out of
// view too, also while rendering; a later copy replaces it.
TEST_F(ViewCommandTest, CopyPicturePutsTheWholePictureOnTheClipboard)
{
    paused([&] {
        deliverclientsize(mainwindow(), 300, 200);
        settle();
        command(cmdrender);
        press('C', MOD_CONTROL);
        settle();
        ASSERT_NE(clipboardimage(), nullptr);
        EXPECT_TRUE(samepixels(*clipboardimage(), *desktop->engine.g_vhdc));
        command(cmdrender);
        command(cmdclearscreen);
        EXPECT_FALSE(samepixels(*clipboardimage(), *desktop->engine.g_vhdc)) << "a copy, not the picture itself";
        press('C', MOD_CONTROL);
        settle();
        EXPECT_TRUE(samepixels(*clipboardimage(), *desktop->engine.g_vhdc));
        EXPECT_TRUE(headless().messageboxes.empty());
    });
}

// Fit Window makes the client area the picture's size, for the backend to
// show scaled down into a smaller window, follows a new picture size, and
// gives the window its own size back when turned off.
TEST_F(ViewCommandTest, FitWindowKeepsTheClientAreaThePicturesSize)
{
    paused([&] {
        deliverclientsize(mainwindow(), 400, 300);
        settle();
        EXPECT_TRUE(scrollbarvisible(mainwindow(), SB_HORZ));
        desktop->shell.xCurrentScroll = 150;
        press('W');
        settle();
        RECT client;
        GetClientRect(mainwindow(), &client);
        EXPECT_EQ(client.right, 600);
        EXPECT_EQ(client.bottom, 600);
        EXPECT_EQ(desktop->shell.xCurrentScroll, 0) << "the whole picture is in view";
        EXPECT_FALSE(scrollbarvisible(mainwindow(), SB_HORZ));
        EXPECT_FALSE(scrollbarvisible(mainwindow(), SB_VERT));
        EXPECT_EQ(menustate(cmdfitwindow) & MF_CHECKED, MF_CHECKED);

        deliverclientsize(mainwindow(), 500, 350); // the user resizes the window
        desktop->engine.res = 800;
        ASSERT_TRUE(rebuildoffscreen(desktop->engine, mainwindow(), 600));
        settle();
        GetClientRect(mainwindow(), &client);
        EXPECT_EQ(client.right, 800);
        EXPECT_EQ(client.bottom, 800);

        press('W');
        settle();
        GetClientRect(mainwindow(), &client);
        EXPECT_EQ(client.right, 500);
        EXPECT_EQ(client.bottom, 350);
        EXPECT_TRUE(scrollbarvisible(mainwindow(), SB_HORZ));
        EXPECT_EQ(menustate(cmdfitwindow) & MF_CHECKED, 0u);
    });
}

TEST_F(ViewCommandTest, FullScreenGoesAndComesBackAlsoWhileRendering)
{
    then([&] { press('F', MOD_CONTROL); }, 10);
    then([&] {
        EXPECT_TRUE(mainwindow()->fullscreen);
        EXPECT_EQ(menustate(cmdfullscreen) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(desktop->engine.okicon, 1) << "rendering goes on";
        press('F', MOD_CONTROL);
    });
    then([&] {
        EXPECT_FALSE(mainwindow()->fullscreen);
        EXPECT_EQ(menustate(cmdfullscreen) & MF_CHECKED, 0u);
        click();
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
}

} // namespace
} // namespace kt
