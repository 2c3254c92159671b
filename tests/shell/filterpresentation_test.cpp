// What the desktop shows of a filter's work: the new picture in the main
// window from the scroll offsets on, and the histogram window, which holds
// the input while it is open.
#include <gtest/gtest.h>

#include "image/filters.h"
#include "shell/histogramwindow.h"
#include "support/platform/scriptedbackend.h"
#include "support/shell/desktopstatefixture.h"

namespace kt {
namespace {

class FilterPresentation : public testing::DesktopStateTest {
protected:
    void SetUp() override
    {
        DesktopStateTest::SetUp();
        useimage(40);
        desktop->engine.hitcount = localarray<float>(40 * 40);
        desktop->engine.hcres = 40;
        for (int k = 0; k < 40 * 40; ++k)
            desktop->engine.hitcount[k] = static_cast<float>(k % 7 == 0 ? 0 : k % 23);
        desktop->engine.hitmax = 22;
        desktop->engine.itercount = 1000;
        desktop->shell.cross = LoadCursorA(nullptr, IDC_CROSS);
        desktop->shell.wait = LoadCursorA(nullptr, IDC_WAIT);
    }
};

TEST_F(FilterPresentation, TheWindowShowsTheNewPixelsShiftedByTheScroll)
{
    HWND window = testing::maketestwindow(30, 25);
    desktop->shell.g_hWnd = window;
    desktop->shell.xCurrentScroll = 7;
    desktop->shell.yCurrentScroll = 20;
    // The window as the view left it: the image from the scroll offsets on,
    // and beyond the image's last row whatever the window had there.
    const COLORREF beyond = RGB(200, 0, 0);
    window->client.fill(RECT{0, 0, 30, 25}, beyond);
    window->client.blit(0, 0, 30, 25, *image, 7, 20);
    const auto before = pixelcopy();

    ASSERT_EQ(normalize(desktop->context, desktop->engine, desktop->filters, desktop->hist256), filterdone);
    ASSERT_NE(pixelcopy(), before);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 30; ++x) {
            const COLORREF expected = y + 20 < desktop->engine.res ? image->getpixel(x + 7, y + 20) : beyond;
            ASSERT_EQ(window->client.getpixel(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(GetCursor(), desktop->shell.cross);
}

TEST_F(FilterPresentation, TheHistogramWindowOpensAndHoldsTheInput)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = HistogramWindowProc;
    wc.lpszClassName = szHistogramWinName;
    ASSERT_NE(RegisterClassA(&wc), 0);
    desktop->shell.g_hWnd = testing::maketestwindow(30, 30);
    desktop->filters.okhistogram = 1;
    desktop->filters.histogramflag = 1;

    ASSERT_EQ(equalize(desktop->context, desktop->engine, desktop->filters, desktop->hist256), filterdone);
    int windows = 0;
    for (const auto& w : headless().created)
        windows += w.classname == szHistogramWinName;
    EXPECT_EQ(windows, 1);
    EXPECT_FALSE(IsWindowEnabled(desktop->shell.g_hWnd));
}

} // namespace
} // namespace kt
