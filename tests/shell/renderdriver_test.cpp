#include <gtest/gtest.h>

#include "shell/renderdriver.h"
#include "shell/resources.h"
#include "shell/shellstate.h"
#include "support/shell/desktopstatefixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using RenderDriverTest = testing::DesktopStateTest;

TEST_F(RenderDriverTest, AllocationFailureReportsOncePausesAndRetriesLater)
{
    HWND window = testing::maketestwindow(800, 600);
    desktop->shell.g_hWnd = window;
    desktop->engine.okicon = 1;
    injectallocationfailures(1);
    EXPECT_EQ(icondriver(desktop->context, desktop->engine, desktop->shell.g_hWnd), 1);

    ASSERT_EQ(headless().messageboxes.size(), 1u);
    const auto& box = headless().messageboxes[0];
    EXPECT_EQ(box.text,
              "Not enough memory to allocate hit count buffer.\nFree up more system memory, or\n"
              "   set a smaller image resolution.");
    EXPECT_EQ(box.caption, "Memory allocation problem");
    EXPECT_EQ(box.type, MB_ICONEXCLAMATION | MB_OK);
    EXPECT_EQ(box.owner, window);
    EXPECT_EQ(desktop->engine.newimage, 1);
    EXPECT_EQ(desktop->engine.okicon, 1);
    EXPECT_EQ(desktop->engine.hcres, 0);
    EXPECT_EQ(desktop->engine.hitcount, nullptr);
    EXPECT_EQ(desktop->engine.itercount, 0u);
    EXPECT_EQ(countpixels(RGB(0, 0, 0)), 600 * 600) << "nothing was filled";

    MSG posted;
    ASSERT_TRUE(PeekMessageA(&posted, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(posted.hwnd, window);
    EXPECT_EQ(posted.message, WM_COMMAND);
    EXPECT_EQ(posted.wParam, static_cast<WPARAM>(cmdrender));
    EXPECT_FALSE(PeekMessageA(&posted, nullptr, 0, 0, PM_REMOVE));

    EXPECT_EQ(icondriver(desktop->context, desktop->engine, desktop->shell.g_hWnd), 0) << "the next try allocates";
    EXPECT_EQ(desktop->engine.hcres, 600);
    EXPECT_EQ(headless().messageboxes.size(), 1u);
}

TEST_F(RenderDriverTest, WindowShowsBlackAroundTheImageAndTheScrolledView)
{
    HWND window = testing::maketestwindow(900, 500);
    desktop->shell.g_hWnd = window;
    desktop->shell.xscreen = 900;
    desktop->shell.yscreen = 500;
    icondriver(desktop->context, desktop->engine, desktop->shell.g_hWnd);
    EXPECT_EQ(window->client.getpixel(0, 0), desktop->engine.back);
    EXPECT_EQ(window->client.getpixel(599, 499), desktop->engine.back);
    EXPECT_EQ(window->client.getpixel(600, 0), RGB(0, 0, 0));
    EXPECT_EQ(window->client.getpixel(899, 499), RGB(0, 0, 0));

    for (int k = 0; k < 20; ++k)
        icondriver(desktop->context, desktop->engine, desktop->shell.g_hWnd);
    desktop->shell.xCurrentScroll = 100;
    desktop->shell.yCurrentScroll = 50;
    icondriver(desktop->context, desktop->engine, desktop->shell.g_hWnd);
    for (int y = 0; y < 500; y += 7)
        for (int x = 0; x < 500; x += 7)
            ASSERT_EQ(window->client.getpixel(x, y), image->getpixel(x + 100, y + 50));
}

TEST_F(RenderDriverTest, ShowsTheBusyCursorDuringABatch)
{
    desktop->shell.hourglass = LoadCursorA(nullptr, IDC_WAIT);
    SetCursor(LoadCursorA(nullptr, IDC_CROSS));
    icondriver(desktop->context, desktop->engine, desktop->shell.g_hWnd);
    EXPECT_EQ(GetCursor(), desktop->shell.hourglass);
}

} // namespace
} // namespace kt
