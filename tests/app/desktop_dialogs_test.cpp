// Every dialog of the desktop program as Qt shows it: each label's text fits
// its control in the font the label is drawn in.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "shell/paramdialog.h"
#include "shell/rotationdialogs.h"
#include "shell/colourdialogs.h"
#include "shell/nadjustdialog.h"
#include "support/desktop/qtprogram.h"

namespace kt {
namespace {

using testing::finish;
using testing::startfresh;

struct Dialog {
    const DialogTemplate* dialog;
    DLGPROC procedure;
    int closer; // the button that ends it
};

TEST(DesktopDialogs, EveryLabelShowsItsWholeText)
{
    const auto desktop = startfresh();
    const Dialog dialogs[] = {
        {&paramdialog, ParamDialogProc, IDCANCEL},
        {&rotationdialog, RotationDialogProc, IDCANCEL},
        {&fddialog, FDDialogProc, IDCANCEL},
        {&coloringdialog, ColoringMethodDialogProc, IDCANCEL},
        {&backgrounddialog, BackgroundDialogProc, IDCANCEL},
        {&nadjustdialog, NadjustDialogProc, IDOK}, // it has no Cancel
    };
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.dialog->caption);
        int labels = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            poll.stop();
            for (const QLabel* label : modal->findChildren<QLabel*>()) {
                const QSize text = QFontMetrics(label->font()).size(Qt::TextShowMnemonic, label->text());
                EXPECT_LE(text.width(), label->contentsRect().width()) << label->text().toStdString();
                EXPECT_LE(text.height(), label->contentsRect().height()) << label->text().toStdString();
                ++labels;
            }
            auto* closer = modal->findChild<QPushButton*>(QStringLiteral("control%1").arg(d.closer));
            ASSERT_NE(closer, nullptr);
            closer->click();
        });
        poll.start(10);
        DialogBoxParamA(nullptr, d.dialog, nullptr, d.procedure, dialogparam(*desktop));
        int templatelabels = 0;
        for (const ControlTemplate& control : d.dialog->controls)
            templatelabels += control.kind == ControlKind::Static;
        EXPECT_EQ(labels, templatelabels);
    }
    finish();
}

} // namespace
} // namespace kt
