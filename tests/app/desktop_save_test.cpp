// Saving the picture through the real file dialog and message boxes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
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

TEST(DesktopSmoke, SavesImageAndParametersThroughTheRealDialogs)
{
    const auto desktop = startfresh();
    const QString folder = QDir::tempPath() + "/ktdravune3d-smoke-" +
        QString::number(QCoreApplication::applicationPid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);

    ModalAnswerer answerer(folder + "/star");
    Script script({
        {[&] { return desktop->engine.okicon == 1 && desktop->engine.itercount >= 20000 && clientview(); },
         [&] { QTest::keyClick(clientview(), Qt::Key_R); }},
        {[&] { return desktop->engine.okicon == 0; }, [&] { QTest::keyClick(clientview(), Qt::Key_S); }},
        {[&] { return answerer.texts().size() == 2; }, [&] { QTest::keyClick(clientview(), Qt::Key_Escape); }},
    });
    EXPECT_EQ(WinMain(*desktop, nullptr, nullptr, "", SW_SHOWNORMAL), 0);

    EXPECT_TRUE(script.finished());
    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_EQ(answerer.texts()[0], "Image saved as star.tga");
    EXPECT_TRUE(answerer.texts()[1].startsWith("Parameters saved as star.dv3"));
    EXPECT_EQ(QFileInfo(folder + "/star.tga").size(), 44 + 3 * 600 * 600);
    EXPECT_EQ(QFileInfo(folder + "/star.dv3").size(), 130);
    QDir(folder).removeRecursively();
    finish();
}

} // namespace
} // namespace kt
