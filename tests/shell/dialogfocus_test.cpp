#include <gtest/gtest.h>

#include <string>

#include "shell/colourdialogs.h"
#include "shell/desktop.h"
#include "shell/nadjustdialog.h"
#include "shell/paramdialog.h"
#include "shell/rotationdialogs.h"
#include "shell/tonedialog.h"
#include "support/platform/dialogscript.h"
#include "support/shell/desktopstatefixture.h"

namespace kt {
namespace {

using DialogFocusTest = testing::DesktopStateTest;

// Every dialog opens with typing going to what it is for: its first field
// (the templates list their buttons first), its chosen radio button or its
// slider.
TEST_F(DialogFocusTest, EveryDialogOpensWithTheFocusOnItsFirstField)
{
    struct Case {
        std::string name;
        const DialogTemplate& dialog;
        DLGPROC procedure;
        int focused;
    };
    desktop->engine.cmethod = 1;
    const Case cases[] = {
        {"background", backgrounddialog, BackgroundDialogProc, 310},
        {"colouring method", coloringdialog, ColoringMethodDialogProc, 411},
        {"parameters", paramdialog, ParamDialogProc, 620},
        {"rotation", rotationdialog, RotationDialogProc, 910},
        {"fractal dimension limit", fddialog, FDDialogProc, 710},
        {"normalization adjustment", nadjustdialog, NadjustDialogProc, nadjustslider},
        {"tone settings", tonedialog, ToneDialogProc, brightnessslider},
    };
    for (const Case& c : cases) {
        int focused = 0;
        testing::rundialog(c.dialog, c.procedure, dialogparam(*desktop),
                           [&](HWND hDlg) { focused = hDlg->focus ? hDlg->focus->controlId : 0; });
        EXPECT_EQ(focused, c.focused) << c.name;
    }
}

} // namespace
} // namespace kt
