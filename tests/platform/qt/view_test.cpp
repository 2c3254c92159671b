#include <chrono>
#include <thread>

#include <QImage>
#include <QPixmap>
#include <QTest>

#include "platform/gdi.h"
#include "platform/qt/clientview.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtViewTest = QtBackendTest;

QRgb shown(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

constexpr QRgb qtrgb(COLORREF c)
{
    return static_cast<QRgb>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
}

TEST_F(QtViewTest, ViewShowsTheClientSurface)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    HDC hdc = GetDC(hwnd);
    hdc->setpixel(0, 0, RGB(255, 0, 0));
    hdc->setpixel(10, 20, RGB(1, 2, 3));
    const RECT block{100, 50, 140, 60};
    HBRUSH brush = CreateSolidBrush(RGB(0, 200, 100));
    FillRect(hdc, &block, brush);
    DeleteObject(brush);

    const QImage image = view->grab().toImage();
    ASSERT_EQ(image.size(), view->size());
    EXPECT_EQ(shown(image, 0, 0), qtrgb(RGB(255, 0, 0)));
    EXPECT_EQ(shown(image, 10, 20), qtrgb(RGB(1, 2, 3)));
    EXPECT_EQ(shown(image, 120, 55), qtrgb(RGB(0, 200, 100)));
    EXPECT_EQ(shown(image, 140, 55), qtrgb(RGB(0, 0, 0)));
}

TEST_F(QtViewTest, ViewShowsAMirroredPictureAsItIsWhenShown)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    Surface picture(200, 100);
    picture.fill(RECT{0, 0, 200, 100}, RGB(0, 0, 255));
    GetDC(hwnd)->setpixel(250, 150, RGB(255, 0, 0));
    BitBlt(GetDC(hwnd), 5, 5, 200, 100, &picture, 0, 0, SRCCOPY);
    // The copy is lazy: what the view shows is the picture as it is now.
    picture.setpixel(0, 0, RGB(255, 255, 0));

    const QImage image = view->grab().toImage();
    EXPECT_EQ(shown(image, 5, 5), qtrgb(RGB(255, 255, 0)));
    EXPECT_EQ(shown(image, 204, 104), qtrgb(RGB(0, 0, 255)));
    EXPECT_EQ(shown(image, 205, 105), qtrgb(RGB(0, 0, 0)));
    EXPECT_EQ(shown(image, 4, 4), qtrgb(RGB(0, 0, 0)));
    EXPECT_EQ(shown(image, 250, 150), qtrgb(RGB(255, 0, 0))) << "the window's own pixels beside the copy";
}

TEST_F(QtViewTest, ViewIsBlackWhereItOutgrowsTheSurface)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    // The core learns a new size only after Qt has laid the view out.
    hwnd->client.resize(30, 20);
    hwnd->client.fill(RECT{0, 0, 30, 20}, RGB(255, 255, 255));
    const QImage image = view->grab().toImage();
    EXPECT_EQ(shown(image, 29, 19), qtrgb(RGB(255, 255, 255)));
    EXPECT_EQ(shown(image, 30, 5), qtrgb(RGB(0, 0, 0)));
    EXPECT_EQ(shown(image, 5, 20), qtrgb(RGB(0, 0, 0)));
    EXPECT_EQ(shown(image, view->width() - 1, view->height() - 1), qtrgb(RGB(0, 0, 0)));
}

TEST_F(QtViewTest, RenderingIsShownAtDisplayRateNotPerCopy)
{
    HWND hwnd = makemainwindow();
    QTest::qWait(50);
    PaintCounter counter(widgetfor(hwnd)->view());
    Surface picture(300, 300);
    // A render loop copies far more often than a display shows pictures, so
    // each picture shown gathers many copies, however slow the machine is.
    constexpr int copies = 2000;
    for (int k = 0; k < copies; ++k) {
        picture.setpixel(k % 300, 0, RGB(255, 255, 255));
        BitBlt(GetDC(hwnd), 0, 0, 300, 300, &picture, 0, 0, SRCCOPY);
        qtbackend().pump(false);
        qtbackend().pump(false);
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    QTest::qWait(50);
    qtbackend().pump(false);
    EXPECT_GE(counter.paints(), 1) << "the copies are shown";
    EXPECT_LE(counter.paints(), copies / 10);

    // Nothing changed, nothing to show again, once the last copy is shown:
    // on a busy machine the presents are spaced further apart.
    const ClientView* view = widgetfor(hwnd)->view();
    for (int tries = 0; tries < 500 && view->stale(); ++tries) {
        QTest::qWait(10);
        qtbackend().pump(false);
    }
    ASSERT_FALSE(view->stale());
    const int settled = counter.paints();
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        qtbackend().pump(false);
    }
    EXPECT_EQ(counter.paints(), settled);
}

} // namespace
} // namespace kt::testing
