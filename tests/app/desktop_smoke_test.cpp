// The desktop program on the Qt backend, driven through real widgets: it
// starts, renders, pauses and resumes on clicks and R, and Esc ends it with
// status 0.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

#include "engine/enginestate.h"
#include "platform/qt/clientview.h"
#include "platform/qt/qtbackend.h"
#include "platform/qt/windowwidget.h"
#include "shell/shellstate.h"
#include "shell/startup.h"

namespace kt {
namespace {

QWidget* clientview()
{
    QWidget* main = widgetof(engine.g_hWnd);
    if (!main)
        return nullptr;
    for (QWidget* child : main->findChildren<QWidget*>())
        if (dynamic_cast<ClientView*>(child))
            return child;
    return nullptr;
}

// Runs the steps one after another, each once its condition holds; polls
// every 20 ms, as the program's own loop drives Qt.
class Script {
public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    explicit Script(std::vector<Step> steps) : steps_(std::move(steps))
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    bool finished() const { return next_ == steps_.size(); }

private:
    void tick()
    {
        if (finished() || !steps_[next_].ready())
            return;
        steps_[next_++].act();
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QTimer timer_;
};

TEST(DesktopSmoke, RendersPausesResumesAndExits)
{
    static int argc = 1;
    static char name[] = "desktop_smoke_test";
    static char* argv[] = {name, nullptr};
    QtBackend qt(argc, argv);
    setbackend(&qt);

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
    resetwindowsystem();
    setbackend(nullptr);
}

} // namespace
} // namespace kt
