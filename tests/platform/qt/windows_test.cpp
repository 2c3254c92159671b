#include <chrono>
#include <thread>

#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "platform/gdi.h"
#include "platform/qt/clientview.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtWindowsTest = QtBackendTest;

TEST_F(QtWindowsTest, APopupIsAFramelessClientAreaWhereTheProgramPutsIt)
{
    HWND owner = makemainwindow();
    HWND popup = makepopup(30, 40, 200, 100, owner);
    TopLevelWindow* window = widgetfor(popup);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->geometry(), QRect(30, 40, 200, 100));
    EXPECT_EQ(window->menubar(), nullptr);
    EXPECT_EQ(window->scrollbar(SB_HORZ), nullptr);
    EXPECT_EQ(window->scrollbar(SB_VERT), nullptr);
    EXPECT_EQ(window->view()->geometry(), QRect(0, 0, 200, 100));
    RECT client;
    GetClientRect(popup, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    // It stays above the window that owns it.
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(window->windowHandle()->transientParent(), widgetfor(owner)->windowHandle());
}

// The about box disables its owner: the keys go to the box while it is up,
// and back to the owner once it is enabled again.
TEST_F(QtWindowsTest, AWindowDisabledUnderItsPopupLeavesTheKeysToIt)
{
    HWND main = makemainwindow();
    HWND about = makepopup(100, 100, 200, 100, main);
    // However the desktop placed the focus when the box was shown.
    widgetfor(main)->activateWindow();
    QApplication::processEvents();
    EnableWindow(main, 0);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), widgetfor(about)->view());
    DestroyWindow(about);
    widgetfor(makepopup(300, 300, 50, 50))->activateWindow(); // another window took the focus meanwhile
    QApplication::processEvents();
    EnableWindow(main, 1);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), widgetfor(main)->view());
}

TEST_F(QtWindowsTest, WindowsShowAndHideWithTheCore)
{
    HWND hwnd = makemainwindow();
    TopLevelWindow* window = widgetfor(hwnd);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Test main window"));
    ShowWindow(hwnd, SW_HIDE);
    EXPECT_FALSE(window->isVisible());
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(QtWindowsTest, DestroyedWindowsLoseTheirWidgetsOnceQtIsDoneWithThem)
{
    HWND hwnd = makemainwindow();
    QPointer<TopLevelWindow> window = widgetfor(hwnd);
    DestroyWindow(hwnd);
    ASSERT_FALSE(window.isNull());
    EXPECT_FALSE(window->isVisible());
    // QTest's waits delete on their own; the program has only its pumps.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    qtbackend().pump(false);
    EXPECT_TRUE(window.isNull());
}

// Destroys its window when the user resizes it (the size it is first shown
// with is 300 wide).
LRESULT destroyonsize(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && LOWORD(static_cast<std::uintptr_t>(lParam)) != 300) {
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(QtWindowsTest, AWindowMayBeDestroyedWhileQtDeliversAnEventToIt)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = destroyonsize;
    wc.lpszClassName = "KTQtTestDestroyOnSize";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "KTQtTestDestroyOnSize", "doomed", WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    QPointer<TopLevelWindow> window = widgetfor(hwnd);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // The resize reaches the program, which destroys the window inside Qt's resize event.
    window->resize(250, 150);
    EXPECT_FALSE(IsWindow(hwnd));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    qtbackend().pump(false);
    EXPECT_TRUE(window.isNull());
}

TEST_F(QtWindowsTest, CursorFollowsTheCoreOnEveryWindow)
{
    HWND main = makemainwindow();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    EXPECT_EQ(widgetfor(main)->cursor().shape(), Qt::WaitCursor);
    HWND popup = makepopup(0, 0, 50, 50);
    EXPECT_EQ(widgetfor(popup)->cursor().shape(), Qt::WaitCursor);

    ShowCursor(0);
    EXPECT_EQ(widgetfor(main)->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(widgetfor(popup)->cursor().shape(), Qt::BlankCursor);
    SetCursor(LoadCursorA(nullptr, IDC_CROSS));
    EXPECT_EQ(widgetfor(main)->cursor().shape(), Qt::BlankCursor);
    ShowCursor(1);
    EXPECT_EQ(widgetfor(main)->cursor().shape(), Qt::CrossCursor);
    SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
    EXPECT_EQ(widgetfor(popup)->cursor().shape(), Qt::BusyCursor);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(widgetfor(popup)->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QtWindowsTest, SleepShowsTheSplashButTakesItsTime)
{
    HWND splash = makepopup(100, 100, 64, 64);
    QTest::qWait(50);
    PaintCounter counter(widgetfor(splash)->view());
    Surface picture(64, 64);
    picture.fill(RECT{0, 0, 64, 64}, RGB(200, 10, 10));
    BitBlt(GetDC(splash), 0, 0, 64, 64, &picture, 0, 0, SRCCOPY);

    // A timer never fires early, so one due before the sleep's end tells
    // that the sleep lasted that long.
    bool due = false;
    QTimer::singleShot(130, [&due] { due = true; });
    qtbackend().sleep(150);
    EXPECT_TRUE(due);
    EXPECT_GE(counter.paints(), 1);
}

} // namespace
} // namespace kt::testing
