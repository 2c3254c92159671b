#include <algorithm>
#include <chrono>
#include <ctime>

#include <QTest>
#include <QTimer>

#include "platform/core.h"
#include "platform/gdi.h"
#include "platform/qt/clientview.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using Clock = std::chrono::steady_clock;
using QtPumpTest = QtBackendTest;

TEST_F(QtPumpTest, WaitingForInputBlocksWithoutSpinning)
{
    HWND hwnd = makemainwindow();
    QTest::qWait(20);
    postedmessages();
    QTimer::singleShot(200, [hwnd] { PostMessageA(hwnd, WM_USER, 7, 0); });
    const Clock::time_point start = Clock::now();
    const std::clock_t cpu = std::clock();
    qtbackend().pump(true);
    const double cpuseconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(190));
    EXPECT_LT(cpuseconds, 0.05);
    auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_USER);
}

TEST_F(QtPumpTest, WaitingReturnsAtOnceWhenInputIsAlreadyThere)
{
    HWND hwnd = makemainwindow();
    QTest::keyClick(widgetfor(hwnd)->view(), Qt::Key_Space);
    const Clock::time_point start = Clock::now();
    qtbackend().pump(true);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_TRUE(messagewaiting());
}

// Stands in for a batch of 1,000 formula steps: some tens of microseconds
// of arithmetic the compiler cannot drop.
double batch(double x)
{
    for (int i = 0; i < 20000; ++i)
        x = x * 1.000000001 + 1e-12;
    return x;
}

// Batches done in `duration`, each copied to the window as rendering does,
// with or without the program's message loop around it.
int batches(HWND hwnd, Surface& picture, std::chrono::milliseconds duration, bool withloop, double& sink)
{
    int count = 0;
    const Clock::time_point end = Clock::now() + duration;
    while (Clock::now() < end) {
        if (withloop) {
            if (!PeekMessageA(nullptr, nullptr, 0, 0, PM_NOREMOVE))
                PostMessageA(hwnd, WM_USER, 0, 0);
            MSG msg;
            GetMessageA(&msg, nullptr, 0, 0);
            if (msg.message == WM_PAINT)
                DispatchMessageA(&msg);
        }
        sink = batch(sink);
        BitBlt(GetDC(hwnd), 0, 0, picture.width(), picture.height(), &picture, 0, 0, SRCCOPY);
        ++count;
    }
    return count;
}

TEST_F(QtPumpTest, TheMessageLoopCostsRenderingLittle)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "speed is measured in optimised builds";
#endif
    HWND hwnd = makemainwindow(700, 700);
    Surface picture(600, 600);
    double sink = 1.0;
    batches(hwnd, picture, std::chrono::milliseconds(50), true, sink);
    // Best of several alternating rounds, so that a busy machine weighs on both alike.
    int bare = 0, looped = 0;
    for (int round = 0; round < 5; ++round) {
        bare = std::max(bare, batches(hwnd, picture, std::chrono::milliseconds(200), false, sink));
        looped = std::max(looped, batches(hwnd, picture, std::chrono::milliseconds(200), true, sink));
    }
    EXPECT_GT(bare, 1000) << "a batch should take tens of microseconds";
    EXPECT_GE(looped, 0.9 * bare) << "bare " << bare << ", with the loop " << looped;
    EXPECT_NE(sink, 0.0);
    RecordProperty("bare", bare);
    RecordProperty("looped", looped);
}

} // namespace
} // namespace kt::testing
