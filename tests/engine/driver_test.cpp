#include <gtest/gtest.h>

#include "engine/driver.h"
#include "engine/formulas.h"
#include "shell/resources.h"
#include "support/enginefixture.h"

namespace kt {
namespace {

class DriverTest : public testing::EngineTest {
protected:
    int countpixels(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                count += image->getpixel(x, y) == colour;
        return count;
    }
};

TEST_F(DriverTest, FirstBatchOfANewImageDrawsNothing)
{
    ASSERT_EQ(icondriver(), 0);
    EXPECT_EQ(countpixels(engine.back), 600 * 600);
    EXPECT_EQ(engine.hitmax, 0u);
    EXPECT_EQ(engine.itercount, 1000u);
    EXPECT_EQ(engine.newimage, 0);
    EXPECT_EQ(engine.hcres, 600);
    EXPECT_EQ(engine.saveres, 600);

    ASSERT_EQ(icondriver(), 0);
    EXPECT_GT(engine.hitmax, 0u);
    EXPECT_EQ(engine.itercount, 2000u);
    EXPECT_LT(countpixels(engine.back), 600 * 600);
}

TEST_F(DriverTest, ZStartDoesNotChangeThePicture)
{
    for (int k = 0; k < 50; ++k)
        icondriver();
    const auto pixels = pixelcopy();
    engine.icon[0].zstart = -12345.678;
    engine.newimage = 1;
    for (int k = 0; k < 50; ++k)
        icondriver();
    EXPECT_EQ(pixelcopy(), pixels);
}

TEST_F(DriverTest, NewImageReusesTheBufferAtTheSameSizeAndReplacesItAtAnother)
{
    icondriver();
    icondriver();
    float* first = engine.hitcount.get();
    engine.newimage = 1;
    icondriver();
    EXPECT_EQ(engine.hitcount.get(), first);
    EXPECT_EQ(engine.hitmax, 0u);
    for (int k = 0; k < 600 * 600; ++k)
        ASSERT_EQ(engine.hitcount[k], 0.0f);

    useimage(300);
    engine.newimage = 1;
    icondriver();
    EXPECT_EQ(engine.hcres, 300);
    icondriver();
    EXPECT_GT(engine.hitmax, 0u);
}

TEST_F(DriverTest, AllocationFailureReportsOncePausesAndRetriesLater)
{
    HWND window = testing::maketestwindow(800, 600);
    shell.g_hWnd = window;
    engine.okicon = 1;
    injectallocationfailures(1);
    EXPECT_EQ(icondriver(), 1);

    ASSERT_EQ(headless().messageboxes.size(), 1u);
    const auto& box = headless().messageboxes[0];
    EXPECT_EQ(box.text, "Not enough memory to allocate hit count buffer.\nFree up more system memory, or\n"
                        "   set a smaller image resolution.");
    EXPECT_EQ(box.caption, "Memory allocation problem");
    EXPECT_EQ(box.type, MB_ICONEXCLAMATION | MB_OK);
    EXPECT_EQ(box.owner, window);
    EXPECT_EQ(engine.newimage, 1);
    EXPECT_EQ(engine.okicon, 1);
    EXPECT_EQ(engine.hcres, 0);
    EXPECT_EQ(engine.hitcount, nullptr);
    EXPECT_EQ(engine.itercount, 0u);
    EXPECT_EQ(countpixels(RGB(0, 0, 0)), 600 * 600) << "nothing was filled";

    MSG posted;
    ASSERT_TRUE(PeekMessageA(&posted, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(posted.hwnd, window);
    EXPECT_EQ(posted.message, WM_COMMAND);
    EXPECT_EQ(posted.wParam, static_cast<WPARAM>(cmdrender));
    EXPECT_FALSE(PeekMessageA(&posted, nullptr, 0, 0, PM_REMOVE));

    EXPECT_EQ(icondriver(), 0) << "the next try allocates";
    EXPECT_EQ(engine.hcres, 600);
    EXPECT_EQ(headless().messageboxes.size(), 1u);
}

TEST_F(DriverTest, WindowShowsBlackAroundTheImageAndTheScrolledView)
{
    HWND window = testing::maketestwindow(900, 500);
    shell.g_hWnd = window;
    shell.xscreen = 900;
    shell.yscreen = 500;
    icondriver();
    EXPECT_EQ(window->client.getpixel(0, 0), engine.back);
    EXPECT_EQ(window->client.getpixel(599, 499), engine.back);
    EXPECT_EQ(window->client.getpixel(600, 0), RGB(0, 0, 0));
    EXPECT_EQ(window->client.getpixel(899, 499), RGB(0, 0, 0));

    for (int k = 0; k < 20; ++k)
        icondriver();
    shell.xCurrentScroll = 100;
    shell.yCurrentScroll = 50;
    icondriver();
    for (int y = 0; y < 500; y += 7)
        for (int x = 0; x < 500; x += 7)
            ASSERT_EQ(window->client.getpixel(x, y), image->getpixel(x + 100, y + 50));
}

TEST_F(DriverTest, ItercountSkipsItsLargestValue)
{
    icondriver();
    engine.itercount = 4294967294u - 1000;
    icondriver();
    EXPECT_EQ(engine.itercount, 4294967294u);
    icondriver();
    EXPECT_EQ(engine.itercount, 999u) << "4294967295 is never held: the step after 4294967294 gives 0";
}

TEST_F(DriverTest, ShowsTheBusyCursorDuringABatch)
{
    shell.hourglass = LoadCursorA(nullptr, IDC_WAIT);
    SetCursor(LoadCursorA(nullptr, IDC_CROSS));
    icondriver();
    EXPECT_EQ(GetCursor(), shell.hourglass);
}

TEST_F(DriverTest, NonFiniteCoefficientsRenderWithoutHarm)
{
    engine.icon[0].a = std::numeric_limits<double>::quiet_NaN();
    engine.icon[0].b = std::numeric_limits<double>::infinity();
    engine.icon[0].xstart = std::numeric_limits<double>::max();
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(icondriver(), 0);
    EXPECT_EQ(engine.z.x, static_cast<real>(0.0234)) << "every step escapes and restarts";
}

TEST_F(DriverTest, BuiltInSetsRenderOnTheDefaultBackground)
{
    EXPECT_EQ(engine.type, 0);
    EXPECT_EQ(engine.res, 600);
    EXPECT_EQ(engine.back, RGB(255, 245, 230));
    for (int k = 0; k < 100; ++k)
        icondriver();
    // The icon is symmetric about its centre: it reaches near all four edges
    // but its corners stay background.
    EXPECT_EQ(image->getpixel(0, 0), engine.back);
    EXPECT_EQ(image->getpixel(599, 599), engine.back);
    EXPECT_GT(engine.hitmax, 1u);
}

} // namespace
} // namespace kt
