// The desktop program on the Qt backend, driven through real widgets: it
// starts, renders, pauses and resumes on clicks and R, and Esc ends it with
// status 0.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "support/desktop/qtprogram.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using testing::clientview;
using testing::finish;
using testing::Script;
using testing::startfresh;

// The steps the status line under the picture shows, and whether it says paused.
struct StatusShown {
    std::uint64_t steps = 0;
    bool paused = false;
};

StatusShown statusshown()
{
    QWidget* main = widgetof(testing::mainwindow());
    auto* line = main ? main->findChild<QLabel*>("statusline") : nullptr;
    if (!line)
        return {};
    const QStringList words = line->text().split(' ', Qt::SkipEmptyParts);
    const int at = words.indexOf("steps");
    return {at > 0 ? QString(words[at - 1]).remove(',').toULongLong() : 0, words.value(0) == "Paused"};
}

TEST(DesktopSmoke, RendersPausesResumesAndExits)
{
    const auto desktop = startfresh();

    std::uint32_t pausedAt = 0;
    std::uint32_t stepsWhilePaused = 1;
    std::uint32_t resumedSteps = 0;
    int ticksPaused = 0;
    std::vector<StatusShown> shown;
    Script script({
        {[&] { return desktop->engine.okicon == 1 && desktop->engine.itercount >= 20000 && clientview(); },
         [&] { shown.push_back(statusshown()); }},
        {[&] { return statusshown().steps >= shown.back().steps + 50000; },
         [&] {
             shown.push_back(statusshown());
             QTest::mouseClick(clientview(), Qt::LeftButton);
         }},
        {[&] { return desktop->engine.okicon == 0; },
         [&] {
             pausedAt = desktop->engine.itercount;
             shown.push_back(statusshown());
         }},
        {[&] { return ++ticksPaused == 10; },
         [&] {
             stepsWhilePaused = desktop->engine.itercount - pausedAt;
             shown.push_back(statusshown());
             QTest::mouseClick(clientview(), Qt::RightButton);
         }},
        {[&] { return desktop->engine.okicon == 1 && desktop->engine.itercount >= pausedAt + 20000; },
         [&] {
             resumedSteps = desktop->engine.itercount - pausedAt;
             QTest::keyClick(clientview(), Qt::Key_R);
         }},
        {[&] { return desktop->engine.okicon == 0; }, [&] { QTest::keyClick(clientview(), Qt::Key_Escape); }},
    });
    const int status = WinMain(*desktop, nullptr, nullptr, "", SW_SHOWNORMAL);

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(stepsWhilePaused, 0u) << "nothing rendered while paused";
    EXPECT_GE(resumedSteps, 20000u) << "rendering went on after resuming";
    // The status line counts the steps as they come, and stands still while paused.
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_GT(shown[1].steps, shown[0].steps);
    EXPECT_FALSE(shown[1].paused);
    EXPECT_EQ(shown[2].steps, pausedAt);
    EXPECT_TRUE(shown[2].paused);
    EXPECT_EQ(shown[3].steps, shown[2].steps);
    EXPECT_EQ(desktop->engine.okicon, 0);
    EXPECT_EQ(desktop->engine.g_vhdc, nullptr) << "the buffers were released at the end";
    finish();
}

} // namespace
} // namespace kt
