#include <iterator>

#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QWheelEvent>

#include "platform/qt/clientview.h"
#include "platform/qt/commandmenubar.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtInputTest = QtBackendTest;

// The one key message a key press turned into.
MSG keymessage()
{
    auto posted = postedmessages();
    EXPECT_EQ(posted.size(), 1u);
    return posted.empty() ? MSG{} : posted.front();
}

bool menushowing()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMenu*>(widget) && widget->isVisible())
            return true;
    return false;
}

TEST_F(QtInputTest, KeysInTheViewBecomeKeyMessages)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();

    QTest::keyClick(view, Qt::Key_R);
    MSG m = keymessage();
    EXPECT_EQ(m.hwnd, hwnd);
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, WPARAM('R'));
    EXPECT_EQ(m.modifiers, 0u);
    EXPECT_EQ(m.character, U'r');

    QTest::keyClick(view, Qt::Key_Escape);
    m = keymessage();
    EXPECT_EQ(m.wParam, WPARAM(VK_ESCAPE));
    EXPECT_EQ(m.character, 0u);

    QTest::keyClick(view, Qt::Key_PageDown, Qt::ShiftModifier | Qt::ControlModifier);
    m = keymessage();
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, WPARAM(VK_NEXT));
    EXPECT_EQ(m.modifiers, MOD_SHIFT | MOD_CONTROL);

    QTest::keyClick(view, Qt::Key_7);
    EXPECT_EQ(keymessage().wParam, WPARAM('7'));
    QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(keymessage().wParam, WPARAM(VK_RETURN));
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(keymessage().wParam, WPARAM(VK_HOME));

    // A key without a code of its own still types its character.
    QTest::keyClick(view, Qt::Key_Plus);
    m = keymessage();
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_EQ(m.character, U'+');
    // A modifier alone is no key message.
    QTest::keyClick(view, Qt::Key_Shift);
    EXPECT_TRUE(postedmessages().empty());
}

TEST_F(QtInputTest, ReturnTabAndBackspaceTypeTheirControlCharacters)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        char32_t character;
    } keys[] = {
        {Qt::Key_Return, Qt::NoModifier, U'\r'},    {Qt::Key_Enter, Qt::KeypadModifier, U'\r'},
        {Qt::Key_Tab, Qt::NoModifier, U'\t'},       {Qt::Key_Backtab, Qt::ShiftModifier, U'\t'},
        {Qt::Key_Backspace, Qt::NoModifier, U'\b'},
    };
    for (const auto& k : keys) {
        QTest::keyClick(view, k.key, k.modifiers);
        EXPECT_EQ(keymessage().character, k.character) << "Qt key " << k.key;
    }
}

TEST_F(QtInputTest, FocusKeysGoToTheProgramNotToQt)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_EQ(keymessage().wParam, WPARAM(VK_TAB));
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    MSG m = keymessage();
    EXPECT_EQ(m.wParam, WPARAM(VK_TAB));
    EXPECT_EQ(m.modifiers, MOD_SHIFT);
    // The window's focus, whether or not the window is the active one.
    EXPECT_EQ(widgetfor(hwnd)->focusWidget(), view);
}

TEST_F(QtInputTest, AltKeysReachTheProgramRatherThanTheMenuBar)
{
    HWND hwnd = makemainwindow();
    TopLevelWindow* window = widgetfor(hwnd);
    // "&Color" on the menu bar would take Alt+C as its mnemonic.
    QTest::keyClick(window->view(), Qt::Key_C, Qt::AltModifier);
    MSG m = keymessage();
    EXPECT_EQ(m.message, WM_SYSKEYDOWN);
    EXPECT_EQ(m.wParam, WPARAM('C'));
    EXPECT_EQ(m.modifiers, MOD_ALT);
    EXPECT_FALSE(menushowing());
    EXPECT_EQ(window->menubar()->activeAction(), nullptr);

    QTest::keyClick(window->view(), Qt::Key_F10);
    m = keymessage();
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, WPARAM(VK_F1 + 9));
    EXPECT_EQ(window->menubar()->activeAction(), nullptr);
    EXPECT_EQ(window->focusWidget(), window->view());
}

TEST_F(QtInputTest, AltAloneLeavesTheMenuBarAlone)
{
    // The Windows style is the one that lets Alt move into the menu bar.
    const QString previousName = QApplication::style()->name();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    HWND hwnd = makemainwindow();
    TopLevelWindow* window = widgetfor(hwnd);
    QTest::keyPress(window->view(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(window->view(), Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(window->menubar()->activeAction(), nullptr);
    EXPECT_EQ(window->focusWidget(), window->view());
    QApplication::setStyle(QStyleFactory::create(previousName));
}

TEST_F(QtInputTest, ClicksInTheViewArriveAtClientPositions)
{
    HWND hwnd = makemainwindow();
    ClientView* view = widgetfor(hwnd)->view();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(12, 34));
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(56, 7));
    auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(posted[0].lParam, MAKELPARAM(12, 34));
    EXPECT_EQ(posted[1].message, WM_RBUTTONDOWN);
    EXPECT_EQ(posted[1].lParam, MAKELPARAM(56, 7));
}

TEST_F(QtInputTest, ClosingTheWindowAsksTheProgram)
{
    HWND hwnd = makemainwindow();
    TopLevelWindow* window = widgetfor(hwnd);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(IsWindow(hwnd));
    auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_CLOSE);
    EXPECT_EQ(posted[0].hwnd, hwnd);
}

TEST_F(QtInputTest, TheClientAreaIsTheViewAndResizingReportsIt)
{
    HWND hwnd = makemainwindow(640, 480);
    TopLevelWindow* window = widgetfor(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    // The menu bar and the status line take their heights from the frame; the view has the rest.
    const auto* status = window->findChild<QLabel*>("statusline");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, window->view()->height());
    EXPECT_EQ(client.bottom, 480 - window->menubar()->height() - status->height());

    sentmessages().clear();
    window->resize(500, 400);
    QCoreApplication::processEvents();
    ASSERT_FALSE(sentmessages().empty());
    const MSG& size = sentmessages().back();
    EXPECT_EQ(size.message, WM_SIZE);
    EXPECT_EQ(size.lParam, MAKELPARAM(window->view()->width(), window->view()->height()));
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, window->view()->height());
}

TEST_F(QtInputTest, ScrollBarsShowWhileTheCoreSaysAndTakeTheirRoomFromTheView)
{
    HWND hwnd = makemainwindow(640, 480);
    TopLevelWindow* window = widgetfor(hwnd);
    QScrollBar* horizontal = window->scrollbar(SB_HORZ);
    QScrollBar* vertical = window->scrollbar(SB_VERT);
    ASSERT_TRUE(horizontal && vertical);
    EXPECT_TRUE(horizontal->isHidden());
    EXPECT_TRUE(vertical->isHidden());
    const int fullheight = window->view()->height();

    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = 999;
    info.nPage = 640;
    info.nPos = 25;
    sentmessages().clear();
    SetScrollInfo(hwnd, SB_HORZ, &info, 1);
    EXPECT_FALSE(horizontal->isHidden());
    EXPECT_EQ(horizontal->minimum(), 0);
    EXPECT_EQ(horizontal->maximum(), 999 - 640 + 1);
    EXPECT_EQ(horizontal->pageStep(), 640);
    EXPECT_EQ(horizontal->value(), 25);

    QCoreApplication::processEvents();
    EXPECT_EQ(window->view()->height(), fullheight - horizontal->height());
    ASSERT_FALSE(sentmessages().empty());
    EXPECT_EQ(sentmessages().back().message, WM_SIZE);
    EXPECT_EQ(sentmessages().back().lParam, MAKELPARAM(640, fullheight - horizontal->height()));
    // Setting the bar is no user action.
    EXPECT_TRUE(postedmessages().empty());

    info.nPage = 1000;
    SetScrollInfo(hwnd, SB_HORZ, &info, 1);
    EXPECT_TRUE(horizontal->isHidden());
    QCoreApplication::processEvents();
    EXPECT_EQ(window->view()->height(), fullheight);
}

TEST_F(QtInputTest, UsingAScrollBarPostsTheRequestAndLeavesThePositionToTheProgram)
{
    HWND hwnd = makemainwindow(640, 480);
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = 999;
    info.nPage = 300;
    info.nPos = 40;
    SetScrollInfo(hwnd, SB_HORZ, &info, 1);
    SetScrollInfo(hwnd, SB_VERT, &info, 1);
    TopLevelWindow* window = widgetfor(hwnd);
    QScrollBar* horizontal = window->scrollbar(SB_HORZ);
    QScrollBar* vertical = window->scrollbar(SB_VERT);

    horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(horizontal->value(), 40);
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    vertical->triggerAction(QAbstractSlider::SliderToMaximum);
    horizontal->triggerAction(QAbstractSlider::SliderToMinimum);
    horizontal->setSliderDown(true);
    horizontal->setSliderPosition(123);
    horizontal->setSliderDown(false);

    struct Expected {
        UINT message;
        int request;
        int position;
    };
    const Expected expected[] = {
        {WM_HSCROLL, SB_PAGEDOWN, -1}, {WM_VSCROLL, SB_LINEUP, -1},      {WM_VSCROLL, SB_BOTTOM, -1},
        {WM_HSCROLL, SB_TOP, -1},      {WM_HSCROLL, SB_THUMBTRACK, 123}, {WM_HSCROLL, SB_THUMBPOSITION, 123},
    };
    auto posted = postedmessages();
    ASSERT_EQ(posted.size(), std::size(expected));
    for (std::size_t i = 0; i < posted.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(posted[i].message, expected[i].message);
        EXPECT_EQ(LOWORD(posted[i].wParam), expected[i].request);
        if (expected[i].position >= 0) {
            EXPECT_EQ(HIWORD(posted[i].wParam), expected[i].position);
        }
    }
    EXPECT_EQ(vertical->value(), 40);

    // The wheel over a bar is nothing the program handles.
    QWheelEvent wheel(QPointF(5, 5), horizontal->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(horizontal, &wheel);
    EXPECT_EQ(horizontal->value(), 40);
    EXPECT_TRUE(postedmessages().empty());

    // The program answers by setting the position, which the bar then shows.
    info.fMask = SIF_POS;
    info.nPos = 123;
    SetScrollInfo(hwnd, SB_HORZ, &info, 1);
    EXPECT_EQ(horizontal->value(), 123);
}

TEST_F(QtInputTest, ADisabledWindowTakesNoInputButStaysAbleToOwnDialogs)
{
    HWND hwnd = makemainwindow();
    TopLevelWindow* window = widgetfor(hwnd);
    EnableWindow(hwnd, 0);
    EXPECT_FALSE(window->view()->isEnabled());
    EXPECT_TRUE(window->menubar()->isEnabled()) << "drawn as it was";
    // A Qt child of a disabled widget would be disabled too.
    EXPECT_TRUE(window->isEnabled());
    QTest::keyClick(window->view(), Qt::Key_R);
    QTest::mouseClick(window->view(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(postedmessages().empty());

    EnableWindow(hwnd, 1);
    EXPECT_TRUE(window->view()->isEnabled());
    EXPECT_TRUE(window->menubar()->isEnabled());
    QTest::keyClick(window->view(), Qt::Key_R);
    EXPECT_EQ(keymessage().wParam, WPARAM('R'));
}

} // namespace
} // namespace kt::testing
