#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "support/platform/platformreset.h"
#include "support/platform/testwindow.h"

namespace kt {
namespace {

// A small dialog: a text field, a pair of radio buttons, a trackbar, OK and
// Cancel. OK keeps what was entered.
const DialogTemplate testdialog{
    500,
    "Test",
    200,
    100,
    {
        {ControlKind::Edit, 510, "", 10, 10, 80, 12},
        {ControlKind::Radio, 520, "First", 10, 30, 60, 10, true},
        {ControlKind::Radio, 521, "Second", 10, 42, 60, 10},
        {ControlKind::Trackbar, 530, "", 10, 60, 100, 15},
        {ControlKind::DefButton, IDOK, "OK", 120, 80, 30, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 160, 80, 30, 14},
    },
};

struct Entered {
    std::string text;
    int choice = 0;
    int level = 0;
    int initialised = 0;
};
Entered entered;

INT_PTR testdialogproc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        entered.initialised = static_cast<int>(lParam);
        SetDlgItemTextA(dialog, 510, "start");
        CheckRadioButton(dialog, 520, 521, 520);
        SendDlgItemMessageA(dialog, 530, TBM_SETRANGE, 1, MAKELPARAM(0, 10));
        SendDlgItemMessageA(dialog, 530, TBM_SETPOS, 1, 5);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char text[8];
            GetDlgItemTextA(dialog, 510, text, sizeof text);
            entered.text = text;
            entered.choice = IsDlgButtonChecked(dialog, 521) ? 2 : 1;
            entered.level = static_cast<int>(SendDlgItemMessageA(dialog, 530, TBM_GETPOS, 0, 0));
            EndDialog(dialog, 1);
            return 1;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 2);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::resetplatform();
        entered = Entered{};
        owner = testing::maketestwindow(50, 50);
    }
    void TearDown() override { testing::resetplatform(); }
    INT_PTR show() { return DialogBoxParamA(nullptr, &testdialog, owner, testdialogproc, 42); }
    HWND owner = nullptr;
};

TEST_F(DialogTest, OkReturnsWhatWasEnteredThroughTheControls)
{
    bool ownerDisabled = false;
    headless().dialogscripts.push_back([&](HWND dialog) {
        ownerDisabled = !IsWindowEnabled(owner);
        usertypes(dialog, 510, "a long text");
        userclicks(dialog, 521);
        usermovestrackbar(dialog, 530, 99);
        userclicks(dialog, IDOK);
    });
    EXPECT_EQ(show(), 1);
    EXPECT_EQ(entered.initialised, 42);
    EXPECT_EQ(entered.text, "a long ") << "at most size - 1 characters";
    EXPECT_EQ(entered.choice, 2) << "the click moved the radio choice";
    EXPECT_EQ(entered.level, 10) << "the trackbar stays within its range";
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
    EXPECT_EQ(headless().dialogs, std::vector<std::string>{"Test"});
    EXPECT_EQ(allwindows().size(), 1u) << "the dialog and its controls are gone";
}

TEST_F(DialogTest, UnscriptedDialogIsCancelled)
{
    EXPECT_EQ(show(), 2);
    EXPECT_EQ(entered.text, "");
}

TEST_F(DialogTest, DisabledControlsTakeNoInput)
{
    headless().dialogscripts.push_back([](HWND dialog) {
        EnableWindow(GetDlgItem(dialog, 510), 0);
        EnableWindow(GetDlgItem(dialog, 521), 0);
        usertypes(dialog, 510, "typed");
        userclicks(dialog, 521);
        userclicks(dialog, IDOK);
    });
    EXPECT_EQ(show(), 1);
    EXPECT_EQ(entered.text, "start");
    EXPECT_EQ(entered.choice, 1);
}

// Two groups of radio buttons, and the clicks their procedure was told of.
const DialogTemplate groupsdialog{
    501,
    "Groups",
    200,
    100,
    {
        {ControlKind::Radio, 600, "A", 10, 10, 60, 10, true},
        {ControlKind::Radio, 601, "B", 10, 22, 60, 10},
        {ControlKind::Radio, 602, "C", 10, 34, 60, 10},
        {ControlKind::Radio, 610, "X", 100, 10, 60, 10, true},
        {ControlKind::Radio, 611, "Y", 100, 22, 60, 10},
        {ControlKind::DefButton, IDOK, "OK", 120, 80, 30, 14},
    },
};
std::vector<int> clicked;

INT_PTR groupsproc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CheckRadioButton(dialog, 600, 602, 600);
        CheckRadioButton(dialog, 610, 611, 610);
        return 1;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) != IDOK)
        clicked.push_back(LOWORD(wParam));
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        EndDialog(dialog, 1);
    return message == WM_COMMAND;
}

TEST_F(DialogTest, ArrowKeysMoveThroughARadioGroupCheckingAsTheyGo)
{
    clicked.clear();
    headless().dialogscripts.push_back([](HWND dialog) {
        const auto checked = [dialog] {
            std::vector<int> ids;
            for (int id : {600, 601, 602, 610, 611})
                if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
                    ids.push_back(id);
            return ids;
        };
        EXPECT_EQ(userarrowsradio(dialog, 600, 1), 601);
        EXPECT_EQ(checked(), (std::vector<int>{601, 610}));
        EnableWindow(GetDlgItem(dialog, 602), 0);
        EXPECT_EQ(userarrowsradio(dialog, 601, 1), 600) << "round the end, past a disabled button";
        EXPECT_EQ(userarrowsradio(dialog, 600, -1), 601);
        EXPECT_EQ(checked(), (std::vector<int>{601, 610})) << "the other group keeps its choice";
        EnableWindow(GetDlgItem(dialog, 611), 0);
        EXPECT_EQ(userarrowsradio(dialog, 610, 1), 610) << "nowhere to go";
        EXPECT_EQ(userarrowsradio(dialog, IDOK, 1), IDOK) << "not a radio button";
        userclicks(dialog, IDOK);
    });
    DialogBoxParamA(nullptr, &groupsdialog, owner, groupsproc, 0);
    EXPECT_EQ(clicked, (std::vector<int>{601, 600, 601}));
}

TEST_F(DialogTest, AnOwnerDisabledBeforeStaysDisabled)
{
    EnableWindow(owner, 0);
    show();
    EXPECT_FALSE(IsWindowEnabled(owner));
}

} // namespace
} // namespace kt
