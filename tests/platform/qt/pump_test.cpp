#include <ctime>

#include <QTest>
#include <QTimer>

#include "platform/core.h"
#include "platform/qt/clientview.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtPumpTest = QtBackendTest;

TEST_F(QtPumpTest, WaitingForInputBlocksWithoutSpinning)
{
    HWND hwnd = makemainwindow();
    QTest::qWait(20);
    postedmessages();
    bool posted = false;
    QTimer::singleShot(200, [hwnd, &posted] {
        PostMessageA(hwnd, WM_USER, 7, 0);
        posted = true;
    });
    const std::clock_t cpu = std::clock();
    qtbackend().pump(true);
    const double cpuseconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    EXPECT_TRUE(posted) << "the wait ended before the input came";
    EXPECT_LT(cpuseconds, 0.05);
    const auto messages = postedmessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_USER);
}

TEST_F(QtPumpTest, WaitingReturnsAtOnceWhenInputIsAlreadyThere)
{
    HWND hwnd = makemainwindow();
    QTest::keyClick(widgetfor(hwnd)->view(), Qt::Key_Space);
    // Were the wait to block despite the key, only this would end it.
    bool ended = false;
    QTimer later;
    later.setSingleShot(true);
    QObject::connect(&later, &QTimer::timeout, [&] {
        ended = true;
        PostMessageA(hwnd, WM_USER, 9, 0);
    });
    later.start(5000);
    qtbackend().pump(true);
    EXPECT_FALSE(ended);
    EXPECT_TRUE(messagewaiting());
}

} // namespace
} // namespace kt::testing
