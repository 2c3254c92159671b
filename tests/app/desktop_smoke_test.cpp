// The desktop program on the Qt backend, driven through real widgets: it
// starts, renders, pauses and resumes on clicks and R, and Esc ends it with
// status 0.
#include <gtest/gtest.h>

#include <QTest>

#include "support/qtprogram.h"

namespace kt {
namespace {

using testing::clientview;
using testing::Script;
using testing::finish;
using testing::startfresh;

TEST(DesktopSmoke, RendersPausesResumesAndExits)
{
    startfresh();

    std::uint32_t pausedAt = 0;
    std::uint32_t stepsWhilePaused = 1;
    std::uint32_t resumedSteps = 0;
    int ticksPaused = 0;
    Script script({
        {[] { return engine.okicon == 1 && engine.itercount >= 20000 && clientview(); },
         [] { QTest::mouseClick(clientview(), Qt::LeftButton); }},
        {[] { return engine.okicon == 0; }, [&] { pausedAt = engine.itercount; }},
        {[&] { return ++ticksPaused == 10; },
         [&] {
             stepsWhilePaused = engine.itercount - pausedAt;
             QTest::mouseClick(clientview(), Qt::RightButton);
         }},
        {[&] { return engine.okicon == 1 && engine.itercount >= pausedAt + 20000; },
         [&] {
             resumedSteps = engine.itercount - pausedAt;
             QTest::keyClick(clientview(), Qt::Key_R);
         }},
        {[] { return engine.okicon == 0; }, [] { QTest::keyClick(clientview(), Qt::Key_Escape); }},
    });
    const int status = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(stepsWhilePaused, 0u) << "nothing rendered while paused";
    EXPECT_GE(resumedSteps, 20000u) << "rendering went on after resuming";
    EXPECT_EQ(engine.okicon, 0);
    EXPECT_EQ(engine.g_vhdc, nullptr) << "the buffers were released at the end";
    finish();
}

} // namespace
} // namespace kt
