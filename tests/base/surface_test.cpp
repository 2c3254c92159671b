#include <gtest/gtest.h>

#include "base/surface.h"
#include "base/colour.h"

namespace kt {
namespace {

TEST(Surface, StartsBlackAndReadsBackWhatWasSet)
{
    Surface s(4, 3);
    EXPECT_EQ(s.getpixel(3, 2), RGB(0, 0, 0));
    s.setpixel(1, 2, RGB(255, 245, 230));
    EXPECT_EQ(s.getpixel(1, 2), RGB(255, 245, 230));
    EXPECT_EQ(s.getpixel(1, 2), 0x00E6F5FFu) << "red in the low byte";
    EXPECT_EQ(s.bits()[2 * 4 + 1], 0xFFFFF5E6u) << "stored as 0xFFRRGGBB";
}

TEST(Surface, OutsidePixelsAreIgnoredAndInvalid)
{
    Surface s(2, 2);
    s.setpixel(-1, 0, RGB(1, 2, 3));
    s.setpixel(2, 0, RGB(1, 2, 3));
    EXPECT_EQ(s.getpixel(2, 0), CLR_INVALID);
    EXPECT_EQ(s.getpixel(0, -1), CLR_INVALID);
}

TEST(Surface, FillIsClippedAndRightBottomExclusive)
{
    Surface s(5, 5);
    s.fill(RECT{-3, 1, 2, 3}, RGB(9, 9, 9));
    EXPECT_EQ(s.getpixel(0, 1), RGB(9, 9, 9));
    EXPECT_EQ(s.getpixel(1, 2), RGB(9, 9, 9));
    EXPECT_EQ(s.getpixel(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(s.getpixel(1, 3), RGB(0, 0, 0));
    EXPECT_EQ(s.getpixel(0, 0), RGB(0, 0, 0));
}

TEST(Surface, OverlappingBlitWithinOneSurface)
{
    Surface s(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            s.setpixel(x, y, RGB(x, y, 0));
    s.blit(1, 1, 3, 3, s, 0, 0);
    EXPECT_EQ(s.getpixel(3, 3), RGB(2, 2, 0));
    EXPECT_EQ(s.getpixel(1, 1), RGB(0, 0, 0));
}

TEST(Surface, CreateRefusesImpossibleSizes)
{
    EXPECT_EQ(Surface::create(0, 10), nullptr);
    EXPECT_EQ(Surface::create(10, -1), nullptr);
    EXPECT_EQ(Surface::create(1 << 30, 1 << 30), nullptr);
    EXPECT_NE(Surface::create(10, 10), nullptr);
}

} // namespace
} // namespace kt
