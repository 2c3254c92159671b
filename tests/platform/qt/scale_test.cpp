// A desktop whose every unit is two device pixels.
#include <QtGlobal>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include "platform/qt/clientview.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtScaleTest = QtBackendTest;

// Before the application is made, which reads it.
const bool scaled = qputenv("QT_SCALE_FACTOR", "2");

void drawcheckerboard(Surface& surface, int side)
{
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            surface.setpixel(x, y, (x + y) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0));
}

bool showscheckerboard(const QImage& shown, int side)
{
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (shown.pixelColor(x, y) != ((x + y) % 2 ? QColor(Qt::white) : QColor(Qt::black)))
                return false;
    return true;
}

// The main window's surface has a pixel for every device pixel, so that the
// picture is shown pixel for pixel, not doubled; a click lands on the surface
// pixel under it. A popup keeps its surface in units: its artwork scales
// with the desktop.
TEST_F(QtScaleTest, TheMainWindowShowsItsSurfaceAtDevicePixels)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    ASSERT_TRUE(scaled);
    ASSERT_EQ(view->devicePixelRatioF(), 2.0);
    EXPECT_EQ(hwnd->client.width(), 2 * view->width());
    EXPECT_EQ(hwnd->client.height(), 2 * view->height());
    drawcheckerboard(hwnd->client, 8);
    const QImage shown = view->grab(QRect(0, 0, 4, 4)).toImage();
    ASSERT_EQ(shown.size(), QSize(8, 8));
    EXPECT_TRUE(showscheckerboard(shown, 8));

    postedmessages();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, 7));
    const auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].lParam, MAKELPARAM(20, 14));

    HWND popup = makepopup(100, 100, 64, 32);
    EXPECT_EQ(popup->client.width(), 64);
    EXPECT_EQ(popup->client.height(), 32);
}

// A fixed client size larger than the window is shown scaled down to fit it,
// and a click maps back onto the whole surface.
TEST_F(QtScaleTest, AFixedClientSizeIsShownScaledDownIntoTheWindow)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    const int side = 4 * view->width();
    SetFixedClientSize(hwnd, side, side);
    EXPECT_EQ(hwnd->client.width(), side);
    const double scale = std::min(2.0 * view->width() / side, 2.0 * view->height() / side);
    postedmessages();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, 10));
    const auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 1u);
    const int expected = static_cast<int>(10 * 2 / scale);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(posted[0].lParam)), expected);
    SetFixedClientSize(hwnd, 0, 0);
    EXPECT_EQ(hwnd->client.width(), 2 * view->width()) << "the window's own size again";
}

// Text drawn into a surface reads at the desktop's size, in device pixels
// twice its units, in the colour asked for and only where its extent says.
TEST_F(QtScaleTest, TextOnASurfaceIsSizedInDevicePixels)
{
    const std::string line = "Refused by the chaos screen:";
    const SIZE size = qtbackend().textsize(line);
    const QFontMetrics desktop(QApplication::font());
    EXPECT_NEAR(size.cy, 2 * desktop.height(), 2);
    EXPECT_NEAR(size.cx, 2 * desktop.horizontalAdvance(QString::fromStdString(line)), 0.1 * size.cx);

    Surface surface(size.cx + 40, size.cy + 40);
    qtbackend().drawtext(surface, 20, 20, line, RGB(255, 224, 96));
    int inside = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) {
            const COLORREF pixel = surface.getpixel(x, y);
            // Antialiasing may touch a pixel beside a glyph's box.
            const bool within = x >= 18 && x < 22 + size.cx && y >= 18 && y < 22 + size.cy;
            if (!within) {
                ASSERT_EQ(pixel, RGB(0, 0, 0)) << "at " << x << ", " << y;
            }
            inside += pixel == RGB(255, 224, 96);
        }
    EXPECT_GT(inside, 4 * static_cast<int>(line.size())) << "the glyphs' strokes, in the colour";
}

} // namespace
} // namespace kt::testing
