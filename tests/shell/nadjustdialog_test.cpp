#include <gtest/gtest.h>

#include "image/filters.h"
#include "shell/nadjustdialog.h"
#include "support/platform/scriptedbackend.h"
#include "support/shell/desktopstatefixture.h"
#include "support/platform/testwindow.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class NadjustDialog : public testing::DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        owner = testing::maketestwindow(100, 100);
    }
    INT_PTR open() { return DialogBoxParamA(nullptr, &nadjustdialog, owner, NadjustDialogProc, dialogparam(*desktop)); }
    int slider(HWND dialog) { return static_cast<int>(SendDlgItemMessageA(dialog, nadjustslider, TBM_GETPOS, 0, 0)); }
    HWND owner = nullptr;
};

TEST_F(NadjustDialog, OpensAtTheLastConfirmedPositionAndOkStoresIt)
{
    int opened = -1;
    headless().dialogscripts.push_back([&](HWND dialog) {
        opened = slider(dialog);
        usermovestrackbar(dialog, nadjustslider, 2);
        EXPECT_EQ(desktop->filters.trackpos, 2) << "taken as the slider moves";
        EXPECT_EQ(desktop->filters.nadjust, 5) << "but only OK adjusts";
        userclicks(dialog, IDOK);
    });
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(headless().dialogs, std::vector<std::string>{"Normalization Adjustment"});
    EXPECT_EQ(opened, 5);
    EXPECT_EQ(desktop->filters.nadjust, 2);

    headless().dialogscripts.push_back([&](HWND dialog) {
        opened = slider(dialog);
        usermovestrackbar(dialog, nadjustslider, 40);
        userclicks(dialog, IDOK);
    });
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(desktop->filters.nadjust, 10) << "the slider runs from 0 to 10";
}

TEST_F(NadjustDialog, CancelIsIgnoredAndThereIsNoSystemMenuToCloseIt)
{
    bool endedByCancel = true;
    headless().dialogscripts.push_back([&](HWND dialog) {
        EXPECT_FALSE(dialog->style & WS_SYSMENU);
        usermovestrackbar(dialog, nadjustslider, 9);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        endedByCancel = dialog->dialogEnded;
        userclicks(dialog, IDOK);
    });
    EXPECT_EQ(open(), 1);
    EXPECT_FALSE(endedByCancel);
    EXPECT_EQ(desktop->filters.nadjust, 9);
}

TEST_F(NadjustDialog, EveryScrollCodeButTheEndOfTrackingTakesThePosition)
{
    headless().dialogscripts.push_back([&](HWND dialog) {
        HWND track = GetDlgItem(dialog, nadjustslider);
        const LPARAM from = reinterpret_cast<LPARAM>(track);
        for (int code = SB_LINEUP; code <= SB_ENDSCROLL; ++code) {
            desktop->filters.trackpos = -1;
            SendDlgItemMessageA(dialog, nadjustslider, TBM_SETPOS, 1, code);
            SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, 0), from);
            EXPECT_EQ(desktop->filters.trackpos, code == SB_ENDSCROLL ? -1 : code) << "code " << code;
        }
        desktop->filters.trackpos = 3;
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
        EXPECT_EQ(desktop->filters.trackpos, 3) << "only the slider's own notifications";
    });
    open();
}

} // namespace
} // namespace kt
