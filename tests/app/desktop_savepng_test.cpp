// Saving the picture as PNG through the real file dialog: a name ending in
// .png gets a PNG of the picture in the window.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTest>

#include "support/desktop/qtprogram.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using testing::clientview;
using testing::finish;
using testing::ModalAnswerer;
using testing::Script;
using testing::startfresh;

TEST(DesktopSavePng, ANameEndingInPngIsSavedAsPng)
{
    const auto desktop = startfresh();
    const QString folder = QDir::tempPath() + "/ktdravune3d-png-" + QString::number(QCoreApplication::applicationPid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);

    ModalAnswerer answerer(folder + "/star.png");
    QImage shown;
    Script script({
        {[&] { return desktop->engine.okicon == 1 && desktop->engine.itercount >= 20000 && clientview(); },
         [&] { QTest::keyClick(clientview(), Qt::Key_R); }},
        {[&] { return desktop->engine.okicon == 0; }, [&] { QTest::keyClick(clientview(), Qt::Key_S); }},
        {[&] { return answerer.texts().size() == 2; },
         [&] {
             const Surface& picture = *desktop->engine.g_vhdc;
             shown = QImage(reinterpret_cast<const uchar*>(picture.bits()), picture.width(), picture.height(),
                            picture.width() * 4, QImage::Format_RGB32)
                         .copy();
             QTest::keyClick(clientview(), Qt::Key_Escape);
         }},
    });
    EXPECT_EQ(WinMain(*desktop, nullptr, nullptr, "", SW_SHOWNORMAL), 0);

    EXPECT_TRUE(script.finished());
    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_EQ(answerer.texts()[0], "Image saved as star.png");
    EXPECT_TRUE(answerer.texts()[1].startsWith("Parameters saved as star.dv3"));
    QImage png(folder + "/star.png", "PNG");
    ASSERT_FALSE(png.isNull());
    ASSERT_EQ(png.size(), shown.size());
    int differing = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            differing += png.pixel(x, y) != shown.pixel(x, y);
    EXPECT_EQ(differing, 0);
    QDir(folder).removeRecursively();
    finish();
}

} // namespace
} // namespace kt
