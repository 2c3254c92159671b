#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "platform/clipboard.h"
#include "platform/dropfiles.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtDropClipboardTest = QtBackendTest;

// Files dropped onto a window that takes them reach it as one WM_DROPFILES
// with their paths; what is no local file is left out, and a window that
// does not take files gets nothing.
TEST_F(QtDropClipboardTest, DroppedLocalFilesReachTheWindowAsADrop)
{
    HWND hwnd = makemainwindow();
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile("/tmp/a star.dv3"), QUrl("https://example.org/x.map"), QUrl::fromLocalFile("/tmp/b.map")});
    // A drag enters the window before it drops there.
    const auto drop = [&] {
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widgetfor(hwnd), &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widgetfor(hwnd), &event);
        return postedmessages();
    };
    EXPECT_FALSE(widgetfor(hwnd)->acceptDrops());
    DragAcceptFiles(hwnd, 1);
    EXPECT_TRUE(widgetfor(hwnd)->acceptDrops());
    const auto posted = drop();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_DROPFILES);
    const auto handle = reinterpret_cast<HDROP>(posted[0].wParam);
    ASSERT_EQ(DragQueryFileA(handle, 0xFFFFFFFFu, nullptr), 2u);
    std::string first, second;
    DragQueryFileA(handle, 0, &first);
    DragQueryFileA(handle, 1, &second);
    EXPECT_EQ(first, "/tmp/a star.dv3");
    EXPECT_EQ(second, "/tmp/b.map");
    DragFinish(handle);
    EXPECT_EQ(DragQueryFileA(handle, 0xFFFFFFFFu, nullptr), 0u) << "a finished drop is gone";

    DragAcceptFiles(hwnd, 0);
    EXPECT_TRUE(drop().empty());
}

TEST_F(QtDropClipboardTest, ACopiedPictureIsOnTheDesktopsClipboard)
{
    Surface picture(3, 2);
    picture.setpixel(0, 0, RGB(255, 0, 0));
    picture.setpixel(2, 1, RGB(0, 0, 255));
    ASSERT_TRUE(SetClipboardImage(&picture, 0, 0, 3, 2));
    const QImage pasted = QGuiApplication::clipboard()->image();
    ASSERT_EQ(pasted.size(), QSize(3, 2));
    EXPECT_EQ(pasted.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(pasted.pixelColor(2, 1), QColor(0, 0, 255));
    EXPECT_EQ(pasted.pixelColor(1, 0), QColor(0, 0, 0));
    EXPECT_FALSE(SetClipboardImage(&picture, 1, 0, 3, 2)) << "a block beyond the picture";
}

} // namespace
} // namespace kt::testing
