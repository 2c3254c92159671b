#include <gtest/gtest.h>

#include "shell/view.h"
#include "support/shell/programfixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class ViewTest : public testing::ProgramTest {
protected:
    void resize(int w, int h) { deliverclientsize(mainwindow(), w, h); }
    void largeimage()
    {
        desktop->engine.res = 2000;
        ASSERT_TRUE(rebuildoffscreen(desktop->engine, mainwindow(), 600));
        settle();
        resize(1000, 700);
    }
    int x() { return desktop->shell.xCurrentScroll; }
    int y() { return desktop->shell.yCurrentScroll; }
    // Delivers a key and lets the loop handle it.
    void key(int vk)
    {
        press(vk);
        settle();
    }
};

TEST_F(ViewTest, ImageSmallerThanTheClientAreaNeedsNoScrollBars)
{
    paused([&] {
        resize(1000, 700);
        EXPECT_EQ(desktop->shell.xMaxScroll, 0);
        EXPECT_EQ(desktop->shell.yMaxScroll, 0);
        EXPECT_FALSE(scrollbarvisible(mainwindow(), SB_HORZ));
        EXPECT_FALSE(scrollbarvisible(mainwindow(), SB_VERT));
    });
}

TEST_F(ViewTest, KeysScrollALargeImage)
{
    paused([this] {
        largeimage();
        EXPECT_EQ(desktop->shell.xMaxScroll, 1000);
        EXPECT_EQ(desktop->shell.yMaxScroll, 1300);
        EXPECT_TRUE(scrollbarvisible(mainwindow(), SB_VERT));
        key(VK_NEXT);
        EXPECT_EQ(y(), 700);
        key(VK_NEXT);
        EXPECT_EQ(y(), 1300);
        key(VK_DOWN);
        EXPECT_EQ(y(), 1300);
        desktop->shell.yCurrentScroll = 500;
        key(VK_PRIOR);
        EXPECT_EQ(y(), 0);
        key(VK_UP);
        EXPECT_EQ(y(), 0);
        key(VK_END);
        EXPECT_EQ(y(), 1300);
        key(VK_HOME);
        EXPECT_EQ(y(), 0);
        // Arrows move a tenth of the 1000 x 700 window, and stop at the ends.
        key(VK_RIGHT);
        key(VK_RIGHT);
        key(VK_LEFT);
        EXPECT_EQ(x(), 100);
        key(VK_DOWN);
        EXPECT_EQ(y(), 70);
        key(VK_UP);
        key(VK_UP);
        EXPECT_EQ(y(), 0);
        desktop->shell.xCurrentScroll = 950;
        key(VK_RIGHT);
        EXPECT_EQ(x(), 1000);
        key(VK_LEFT);
        EXPECT_EQ(x(), 900);
        SCROLLINFO si;
        GetScrollInfo(mainwindow(), SB_HORZ, &si);
        EXPECT_EQ(si.nPos, 900);
        EXPECT_EQ(si.nMax, 1999);
        EXPECT_EQ(si.nPage, 1000u);
    });
}

TEST_F(ViewTest, ABarsArrowButtonsStepATenthOfTheWindowAndItsPagesAWindow)
{
    paused([&] {
        largeimage(); // 2000 x 2000 in 1000 x 700: at most 1000 across, 1300 down
        const struct {
            UINT message;
            int request, from, to;
        } steps[] = {
            {WM_HSCROLL, SB_LINERIGHT, 0, 100}, {WM_HSCROLL, SB_LINELEFT, 100, 0},  {WM_HSCROLL, SB_LINELEFT, 40, 0},
            {WM_HSCROLL, SB_LINERIGHT, 950, 1000}, {WM_VSCROLL, SB_LINEDOWN, 0, 70}, {WM_VSCROLL, SB_LINEUP, 500, 430},
            {WM_VSCROLL, SB_LINEDOWN, 1290, 1300}, {WM_VSCROLL, SB_PAGEDOWN, 0, 700}, {WM_HSCROLL, SB_PAGELEFT, 900, 0},
        };
        for (const auto& s : steps) {
            int& at = s.message == WM_HSCROLL ? desktop->shell.xCurrentScroll : desktop->shell.yCurrentScroll;
            at = s.from;
            SendMessageA(mainwindow(), s.message, MAKEWPARAM(s.request, 0), 0);
            EXPECT_EQ(at, s.to) << "request " << s.request << " from " << s.from;
            SCROLLINFO si;
            GetScrollInfo(mainwindow(), s.message == WM_HSCROLL ? SB_HORZ : SB_VERT, &si);
            EXPECT_EQ(si.nPos, s.to) << "the bar follows";
        }
    });
}

TEST_F(ViewTest, BarsDragAndEnlargingTheWindowClampsTheView)
{
    paused([&] {
        largeimage();
        SendMessageA(mainwindow(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1000), 0);
        SendMessageA(mainwindow(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1300), 0);
        EXPECT_EQ(desktop->shell.xCurrentScroll, 1000);
        EXPECT_EQ(desktop->shell.yCurrentScroll, 1300);
        resize(1200, 900);
        EXPECT_EQ(desktop->shell.xCurrentScroll, 800);
        EXPECT_EQ(desktop->shell.yCurrentScroll, 1100);
        SendMessageA(mainwindow(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 60000), 0);
        EXPECT_EQ(desktop->shell.xCurrentScroll, 800) << "a thumb beyond the range stops at its end";
        SendMessageA(mainwindow(), WM_HSCROLL, SB_LEFT, 0);
        EXPECT_EQ(desktop->shell.xCurrentScroll, 0);
        SendMessageA(mainwindow(), WM_HSCROLL, SB_ENDSCROLL, 0);
        EXPECT_EQ(desktop->shell.xCurrentScroll, 0);
    });
}

TEST_F(ViewTest, LoweringTheSizeRemovesTheBars)
{
    paused([&] {
        largeimage();
        desktop->shell.xCurrentScroll = 900;
        desktop->shell.yCurrentScroll = 1200;
        desktop->engine.res = 600;
        ASSERT_TRUE(rebuildoffscreen(desktop->engine, mainwindow(), 2000));
        settle(); // the posted WM_SIZE
        EXPECT_EQ(desktop->shell.xCurrentScroll, 0);
        EXPECT_EQ(desktop->shell.yCurrentScroll, 0);
        EXPECT_FALSE(scrollbarvisible(mainwindow(), SB_HORZ));
        EXPECT_EQ(desktop->engine.newimage, 1);
    });
}

TEST_F(ViewTest, FailedRebuildKeepsTheOldImageAndSize)
{
    paused([&] {
        Surface* before = desktop->engine.g_vhdc;
        desktop->engine.res = 4000;
        Surface::injectcreatefailures(1);
        EXPECT_FALSE(rebuildoffscreen(desktop->engine, mainwindow(), 600));
        EXPECT_EQ(desktop->engine.res, 600);
        EXPECT_EQ(desktop->engine.g_vhdc, before);
        EXPECT_EQ(desktop->engine.g_vhdc->width(), 600);
        EXPECT_EQ(boxes("Unable to allocate virtual screen buffer.\nTry to free up some memory."), 1);
    });
}

TEST_F(ViewTest, PaintingShowsTheScrolledImage)
{
    paused([&] {
        largeimage();
        for (int k = 0; k < 2000; k += 3)
            desktop->engine.g_vhdc->setpixel(k, k, RGB(k & 255, 7, 9));
        SendMessageA(mainwindow(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
        SendMessageA(mainwindow(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 200), 0);
        settle(); // the paint the scrolling asked for
        for (int y = 0; y < 700; y += 13)
            for (int x = 0; x < 1000; x += 11)
                ASSERT_EQ(mainwindow()->client.getpixel(x, y), desktop->engine.g_vhdc->getpixel(x + 300, y + 200));
        EXPECT_EQ(mainwindow()->client.getpixel(201, 301), RGB(501 & 255, 7, 9)) << "image pixel (501, 501)";
    });
}

TEST_F(ViewTest, MovingTheWindowRepaintsItWhole)
{
    paused([&] {
        RECT all{0, 0, 1024, 748};
        FillRect(GetDC(mainwindow()), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        delivermove(mainwindow(), 5, 5);
        settle();
        EXPECT_EQ(mainwindow()->client.getpixel(10, 10), desktop->engine.g_vhdc->getpixel(10, 10));
        EXPECT_EQ(mainwindow()->client.getpixel(1000, 700), RGB(0, 0, 0)) << "beyond the image: the black background";
    });
}

} // namespace
} // namespace kt
