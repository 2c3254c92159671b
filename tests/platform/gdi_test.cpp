#include <gtest/gtest.h>

#include "base/surface.h"
#include "platform/gdi.h"

namespace kt {
namespace {

TEST(Surface, BlitClipsToBothSurfaces)
{
    Surface src(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            src.setpixel(x, y, RGB(x, y, 7));
    Surface dst(3, 3);
    // A screen-sized block from (2, 1): only what both surfaces hold is copied.
    EXPECT_TRUE(BitBlt(&dst, 0, 0, 1024, 768, &src, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.getpixel(0, 0), RGB(2, 1, 7));
    EXPECT_EQ(dst.getpixel(1, 2), RGB(3, 3, 7));
    EXPECT_EQ(dst.getpixel(2, 0), RGB(0, 0, 0)) << "beyond the source's edge stays as it was";

    Surface shifted(3, 3);
    shifted.blit(-1, -1, 3, 3, src, 0, 0);
    EXPECT_EQ(shifted.getpixel(0, 0), RGB(1, 1, 7));
}

TEST(Brushes, StockBrushesSurviveDeletion)
{
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(DeleteObject(black));
    Surface s(2, 2);
    s.fill(RECT{0, 0, 2, 2}, RGB(5, 5, 5));
    RECT corner{0, 0, 1, 1};
    FillRect(&s, &corner, black);
    EXPECT_EQ(s.getpixel(0, 0), RGB(0, 0, 0));
    HBRUSH own = CreateSolidBrush(RGB(1, 2, 3));
    RECT all{0, 0, 2, 2};
    FillRect(&s, &all, own);
    EXPECT_EQ(s.getpixel(1, 1), RGB(1, 2, 3));
    EXPECT_TRUE(DeleteObject(own));
}

TEST(Pens, RestoringThePreviousPenLeavesNoDeletedPenSelected)
{
    Surface s(10, 10);
    for (COLORREF colour : {RGB(200, 0, 0), RGB(0, 200, 0)}) {
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HPEN previous = SelectObject(&s, pen);
        ASSERT_NE(previous, nullptr);
        MoveToEx(&s, 0, 1, nullptr);
        LineTo(&s, 5, 1);
        SelectObject(&s, previous);
        DeleteObject(pen);
    }
    EXPECT_EQ(s.getpixel(0, 1), RGB(0, 200, 0));
    EXPECT_EQ(s.getpixel(4, 1), RGB(0, 200, 0));
    EXPECT_EQ(s.getpixel(5, 1), RGB(0, 0, 0)) << "the end point is not drawn";
    MoveToEx(&s, 0, 3, nullptr);
    LineTo(&s, 2, 3);
    EXPECT_EQ(s.getpixel(0, 3), RGB(0, 0, 0)) << "the stock black pen is back";
}

TEST(Pens, PolylineClosesAFrameAndKeepsThePosition)
{
    Surface s(6, 6);
    s.fill(RECT{0, 0, 6, 6}, RGB(9, 9, 9));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    SelectObject(&s, pen);
    MoveToEx(&s, 5, 5, nullptr);
    const POINT corners[5] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}, {1, 1}};
    Polyline(&s, corners, 5);
    for (POINT p : corners)
        EXPECT_EQ(s.getpixel(p.x, p.y), RGB(1, 2, 3));
    EXPECT_EQ(s.getpixel(2, 2), RGB(9, 9, 9));
    POINT now;
    MoveToEx(&s, 0, 0, &now);
    EXPECT_EQ(now.x, 5);
    EXPECT_EQ(now.y, 5);
    DeleteObject(pen);
}

} // namespace
} // namespace kt