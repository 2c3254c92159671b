#include <QAction>
#include <QMenu>
#include <QTest>

#include "platform/qt/clientview.h"
#include "platform/qt/commandmenubar.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

QAction* findaction(const QWidget* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (QMenu* popup = action->menu())
            if (QAction* inner = findaction(popup, text))
                return inner;
    }
    return nullptr;
}

QStringList texts(const QWidget* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions())
        list << (action->isSeparator() ? QStringLiteral("---") : action->text());
    return list;
}

using QtMenuTest = QtBackendTest;

TEST_F(QtMenuTest, MenuBarShowsTheWindowMenuAndFollowsItsStates)
{
    HWND hwnd = makemainwindow();
    CommandMenuBar* bar = widgetfor(hwnd)->menubar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(texts(bar), (QStringList{"&File", "&Color", "&Render"}));
    EXPECT_EQ(texts(findaction(bar, "&File")->menu()), (QStringList{"&Open...\tCtrl+O", "---", "E&xit"}));

    QAction* open = findaction(bar, "&Open...\tCtrl+O");
    QAction* hits = findaction(bar, "&Hits");
    QAction* depth = findaction(bar, "&Depth");
    ASSERT_TRUE(open && hits && depth);
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(hits->isChecked());
    EXPECT_TRUE(depth->isCheckable());
    EXPECT_TRUE(depth->isChecked());

    HMENU menu = GetMenu(hwnd);
    EnableMenuItem(menu, cmdOpen, MF_GRAYED);
    CheckMenuItem(menu, cmdHits, MF_CHECKED);
    CheckMenuItem(menu, cmdDepth, MF_UNCHECKED);
    EXPECT_FALSE(open->isEnabled());
    EXPECT_TRUE(hits->isChecked());
    EXPECT_FALSE(depth->isChecked());

    EnableMenuItem(menu, cmdOpen, MF_ENABLED);
    EXPECT_TRUE(open->isEnabled());
}

TEST_F(QtMenuTest, ChosenItemPostsItsCommandUnlessGreyed)
{
    HWND hwnd = makemainwindow();
    CommandMenuBar* bar = widgetfor(hwnd)->menubar();
    findaction(bar, "&Render")->trigger();
    findaction(bar, "&Open...\tCtrl+O")->trigger();
    auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, WM_COMMAND);
    EXPECT_EQ(posted[0].wParam, cmdRender);
    EXPECT_EQ(posted[0].hwnd, hwnd);
    EXPECT_EQ(posted[1].wParam, cmdOpen);

    EnableMenuItem(GetMenu(hwnd), cmdOpen, MF_GRAYED);
    findaction(bar, "&Open...\tCtrl+O")->trigger();
    EXPECT_TRUE(postedmessages().empty());
}

// Alt and a letter reach the program as a key like any other; the core opens
// the bar's popup with that letter, and Qt's popup takes its own letters.
TEST_F(QtMenuTest, AltAndALetterOpenThePopupWhoseLettersChoose)
{
    HWND hwnd = makemainwindow();
    CommandMenuBar* bar = widgetfor(hwnd)->menubar();
    QTest::keyClick(widgetfor(hwnd)->view(), Qt::Key_C, Qt::AltModifier);
    for (const MSG& msg : postedmessages())
        DispatchMessageA(&msg);
    QAction* color = findaction(bar, "&Color");
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(bar->activeAction(), color);
    ASSERT_TRUE(color->menu()->isVisible());
    QTest::keyClick(color->menu(), Qt::Key_D);
    std::vector<UINT> commands;
    for (const MSG& msg : postedmessages())
        if (msg.message == WM_COMMAND)
            commands.push_back(static_cast<UINT>(msg.wParam));
    EXPECT_EQ(commands, std::vector<UINT>{cmdDepth});
}

TEST_F(QtMenuTest, ChoosingACheckedItemLeavesTheCheckToTheProgram)
{
    HWND hwnd = makemainwindow();
    CommandMenuBar* bar = widgetfor(hwnd)->menubar();
    QAction* depth = findaction(bar, "&Depth");
    depth->trigger();
    EXPECT_TRUE(depth->isChecked()); // the core still has it checked
    auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, cmdDepth);

    CheckMenuItem(GetMenu(hwnd), cmdDepth, MF_UNCHECKED);
    depth->trigger();
    EXPECT_FALSE(depth->isChecked());
}

TEST_F(QtMenuTest, ClickingAnItemOfAnOpenMenuPostsItsCommand)
{
    HWND hwnd = makemainwindow();
    CommandMenuBar* bar = widgetfor(hwnd)->menubar();
    QMenu* file = findaction(bar, "&File")->menu();
    file->popup(bar->mapToGlobal(QPoint(0, bar->height())));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(findaction(file, "E&xit")).center());
    auto posted = postedmessages();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_COMMAND);
    EXPECT_EQ(posted[0].wParam, cmdExit);
}

TEST_F(QtMenuTest, APopupMayBeginWithASeparator)
{
    HWND hwnd = makemainwindow();
    CommandMenuBar* bar = widgetfor(hwnd)->menubar();
    QMenu* colour = findaction(bar, "&Color")->menu();
    colour->popup(bar->mapToGlobal(QPoint(0, bar->height())));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(colour));
    QAction* first = colour->actions().value(0);
    ASSERT_TRUE(first && first->isSeparator());
    EXPECT_FALSE(colour->actionGeometry(first).isEmpty()) << "the leading separator is drawn";
    colour->hide();
}

TEST_F(QtMenuTest, ADisabledWindowsMenuBarLooksTheSameButCannotBeOpened)
{
    HWND hwnd = makemainwindow();
    CommandMenuBar* bar = widgetfor(hwnd)->menubar();
    QAction* file = findaction(bar, "&File");
    EnableWindow(hwnd, 0);
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_TRUE(file->isEnabled());
    EXPECT_TRUE(findaction(bar, "E&xit")->isEnabled());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file).center());
    EXPECT_FALSE(file->menu()->isVisible());

    EnableWindow(hwnd, 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file).center());
    EXPECT_TRUE(file->menu()->isVisible());
    file->menu()->hide();
}

} // namespace
} // namespace kt::testing
