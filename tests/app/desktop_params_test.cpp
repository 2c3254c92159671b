// The Parameters dialog of the desktop program through real widgets: F3
// opens it, typed fields and OK store the set, and the next render starts a
// new picture of it.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/desktop/qtprogram.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using testing::clientview;
using testing::finish;
using testing::Script;
using testing::startfresh;

QDialog* parametersdialog()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window);
            dialog && dialog->isVisible() && dialog->windowTitle().trimmed() == "Dravune 3D Parameters")
            return dialog;
    return nullptr;
}

// Types into a field as a user would: select all, then the new text.
void type(QDialog* dialog, int id, const QString& text)
{
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("control%1").arg(id));
    ASSERT_NE(field, nullptr) << id;
    field->selectAll();
    QTest::keyClicks(field, text);
}

TEST(DesktopParameters, FillsAndConfirmsTheParametersDialog)
{
    const auto desktop = startfresh();
    bool filled = false;
    Script script({
        {[&] { return desktop->engine.okicon == 1 && desktop->engine.itercount >= 10000 && clientview(); },
         [&] { QTest::keyClick(clientview(), Qt::Key_R); }},
        {[&] { return desktop->engine.okicon == 0; }, [&] { QTest::keyClick(clientview(), Qt::Key_F3); }},
        {[&] { return parametersdialog() != nullptr; },
         [&] {
             QDialog* dialog = parametersdialog();
             type(dialog, 627, "1.5");
             type(dialog, 628, "400");
             auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("control1"));
             ASSERT_NE(ok, nullptr);
             filled = true;
             QTest::mouseClick(ok, Qt::LeftButton);
         }},
        {[&] { return filled && parametersdialog() == nullptr; }, [&] { QTest::keyClick(clientview(), Qt::Key_R); }},
        {[&] { return desktop->engine.okicon == 1 && desktop->engine.itercount >= 5000; },
         [&] { QTest::keyClick(clientview(), Qt::Key_R); }},
        {[&] { return desktop->engine.okicon == 0; }, [&] { QTest::keyClick(clientview(), Qt::Key_Escape); }},
    });
    const int status = WinMain(*desktop, nullptr, nullptr, "", SW_SHOWNORMAL);
    const ICON stored = desktop->engine.icon[0];
    const int res = desktop->engine.res;
    finish();

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(script.finished());
    // A new scale and size need no screening message: no coefficient changed.
    EXPECT_EQ(stored.scale, 1.5);
    EXPECT_EQ(stored.n, builtinicon1.n) << "untouched fields keep their values";
    EXPECT_EQ(stored.a, builtinicon1.a);
    EXPECT_EQ(res, 400);
}

} // namespace
} // namespace kt
