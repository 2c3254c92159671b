#include <gtest/gtest.h>

#include <utility>

#include "platform/core.h"
#include "shell/splash.h"
#include "support/shell/programfixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using SplashTest = testing::ProgramTest;

TEST_F(SplashTest, SplashSitsAtTheScreenCentreHidingTheCursor)
{
    headless().width = 1025;
    std::vector<int> cursorCounts;
    std::vector<bool> mainEnabled;
    std::vector<COLORREF> splashCentre;
    headless().onsleep = [&] {
        cursorCounts.push_back(cursordisplaycount());
        HWND main = nullptr, splashwindow = nullptr;
        for (HWND w : allwindows()) {
            if (w->classname == "KTWindow")
                main = w;
            if (w->classname == "KTSplashWindow")
                splashwindow = w;
        }
        mainEnabled.push_back(IsWindowEnabled(main) != 0);
        splashCentre.push_back(splashwindow ? splashwindow->client.getpixel(160, 160) : CLR_INVALID);
    };
    then([&] { click(); }, 6);
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);

    const auto& opening = headless().created[1];
    EXPECT_EQ(opening.x, 352) << "1025 / 2 - 160";
    EXPECT_EQ(opening.y, 224);
    EXPECT_EQ(cursorCounts, (std::vector<int>{-1, -1}));
    EXPECT_EQ(mainEnabled, (std::vector<bool>{false, false}));
    ASSERT_EQ(splashCentre.size(), 2u);
    EXPECT_NE(splashCentre[0], CLR_INVALID) << "the picture was drawn";
    EXPECT_EQ(cursordisplaycount(), 0) << "shown again afterwards";
}

TEST_F(SplashTest, ClosingSplashBlacksOutTheMainWindowFirst)
{
    then([&] { click(); }, 6);
    // A client area beyond the screen's size, as at a display scale factor,
    // where the window counts device pixels and the screen logical ones.
    then([&] { deliverclientsize(mainwindow(), 1500, 1000); });
    then([&] {
        mainwindow()->client.fill(RECT{0, 0, 1500, 1000}, RGB(255, 255, 255));
        press(VK_ESCAPE);
    });
    EXPECT_EQ(run(), 0);
    // After the end the main window's surface shows what the closing splash
    // left: black over the whole client area.
    for (const auto& [x, y] : {std::pair{0, 0}, {500, 500}, {1499, 999}})
        EXPECT_EQ(mainwindow()->client.getpixel(x, y), RGB(0, 0, 0)) << x << ", " << y;
    EXPECT_TRUE(IsWindowEnabled(mainwindow()));
}

class AboutTest : public testing::ProgramTest {
protected:
    HWND aboutwindow()
    {
        for (HWND w : allwindows())
            if (w->classname == "KTPopupWindow")
                return w;
        return nullptr;
    }
    // Pauses, opens the about window, then runs the steps.
    void withabout(std::vector<std::function<void()>> steps)
    {
        then([&] { click(); }, 6);
        then([&] { ASSERT_TRUE(openaboutwindow(*desktop)); });
        for (auto& step : steps)
            then(std::move(step));
        then([&] { press(VK_ESCAPE); });
        EXPECT_EQ(run(), 0);
    }
};

TEST_F(AboutTest, OpensCentredAndDisablesTheMainWindow)
{
    withabout({[&] {
                   HWND about = aboutwindow();
                   ASSERT_NE(about, nullptr);
                   EXPECT_EQ(about->x, 272);
                   EXPECT_EQ(about->y, 264);
                   EXPECT_EQ(about->width, 480);
                   EXPECT_EQ(about->height, 240);
                   EXPECT_TRUE(about->visible);
                   EXPECT_FALSE(IsWindowEnabled(mainwindow()));
                   EXPECT_EQ(desktop->shell.aboutflag, 1);
               },
               [&] {
                   // Painted from the about picture.
                   HWND about = aboutwindow();
                   ASSERT_NE(about, nullptr);
                   EXPECT_EQ(about->client.getpixel(470, 5), RGB(255, 255, 255));
                   EXPECT_EQ(about->client.getpixel(60, 120), RGB(176, 48, 224)) << "a pixel of the picture";
                   deliverclick(about, false, 1, 1);
               },
               [&] {
                   EXPECT_EQ(aboutwindow(), nullptr);
                   EXPECT_TRUE(IsWindowEnabled(mainwindow()));
                   EXPECT_EQ(desktop->shell.aboutflag, 0);
                   EXPECT_EQ(desktop->shell.aboutbitmap, nullptr);
               }});
}

TEST_F(AboutTest, ACharacterClosesItButAcceleratorKeysDoNot)
{
    withabout({[&] { deliverkey(aboutwindow(), 'R', 0, U'r'); }, [&] { deliverkey(aboutwindow(), VK_F1 + 2, 0, 0); },
               [&] {
                   EXPECT_NE(aboutwindow(), nullptr) << "R and F3 are taken as accelerators of the disabled window";
                   EXPECT_EQ(desktop->engine.okicon, 0) << "and run no command";
                   deliverkey(aboutwindow(), 'B', 0, U'b');
               },
               [&] { EXPECT_EQ(aboutwindow(), nullptr); }});
}

TEST_F(AboutTest, EscClosesItAndEndsNothing)
{
    withabout({[&] { deliverkey(aboutwindow(), VK_ESCAPE, 0, 0); },
               [&] {
                   EXPECT_EQ(aboutwindow(), nullptr);
                   EXPECT_TRUE(IsWindowEnabled(mainwindow()));
                   EXPECT_FALSE(desktop->shell.closing) << "the Esc was the box's, not the main window's Exit";
               }});
}

TEST_F(AboutTest, AMissingPictureIsReportedAndLeavesNoWindow)
{
    then([&] { click(); }, 6);
    then([&] {
        injectbitmapfailure("KTABOUTBITMAP");
        EXPECT_FALSE(openaboutwindow(*desktop));
        EXPECT_EQ(aboutwindow(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(mainwindow()));
        ASSERT_EQ(headless().messageboxes.size(), 1u);
        const auto& box = headless().messageboxes[0];
        EXPECT_EQ(box.text, "Unable to allocate bitmap buffer.\nTry to free up some memory.");
        EXPECT_EQ(box.caption, "Memory Problem");
        EXPECT_EQ(box.owner, mainwindow());
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
}

} // namespace
} // namespace kt
