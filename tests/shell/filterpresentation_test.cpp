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
        engine.hitcount = localarray<float>(40 * 40);
        engine.hcres = 40;
        for (int k = 0; k < 40 * 40; ++k)
            engine.hitcount[k] = static_cast<float>(k % 7 == 0 ? 0 : k % 23);
        engine.hitmax = 22;
        engine.itercount = 1000;
        shell.cross = LoadCursorA(nullptr, IDC_CROSS);
        shell.wait = LoadCursorA(nullptr, IDC_WAIT);
    }
};

TEST_F(FilterPresentation, TheWindowShowsTheNewPixelsShiftedByTheScroll)
{
    HWND window = testing::maketestwindow(30, 25);
    shell.g_hWnd = window;
    shell.xCurrentScroll = 7;
    shell.yCurrentScroll = 20;
    // The window as the view left it: the image from the scroll offsets on,
    // and beyond the image's last row whatever the window had there.
    const COLORREF beyond = RGB(200, 0, 0);
    window->client.fill(RECT{0, 0, 30, 25}, beyond);
    window->client.blit(0, 0, 30, 25, *image, 7, 20);
    const auto before = pixelcopy();

    ASSERT_EQ(normalize(engine, filters, hist256), filterdone);
    ASSERT_NE(pixelcopy(), before);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 30; ++x) {
            const COLORREF expected = y + 20 < engine.res ? image->getpixel(x + 7, y + 20) : beyond;
            ASSERT_EQ(window->client.getpixel(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(GetCursor(), shell.cross);
}

TEST_F(FilterPresentation, TheHistogramWindowOpensAndHoldsTheInput)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = HistogramWindowProc;
    wc.lpszClassName = szHistogramWinName;
    ASSERT_NE(RegisterClassA(&wc), 0);
    shell.g_hWnd = testing::maketestwindow(30, 30);
    filters.okhistogram = 1;
    filters.histogramflag = 1;

    ASSERT_EQ(equalize(engine, filters, hist256), filterdone);
    int windows = 0;
    for (const auto& w : headless().created)
        windows += w.classname == szHistogramWinName;
    EXPECT_EQ(windows, 1);
    EXPECT_FALSE(IsWindowEnabled(shell.g_hWnd));
}

} // namespace
} // namespace kt
