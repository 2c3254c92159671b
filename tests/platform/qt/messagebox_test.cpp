#include <optional>

#include <QAbstractButton>
#include <QMessageBox>

#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtMessageBoxTest = QtBackendTest;

struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    int buttons = 0;
};

// Answers the next message box by clicking `button`, or by closing it when
// there is none, after noting what the box showed.
void answer(Seen& seen, std::optional<QMessageBox::StandardButton> button)
{
    whenmodal([&seen, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = Seen{box->windowTitle(), box->text(), box->icon(), box->parentWidget(),
                    static_cast<int>(box->buttons().size())};
        if (button)
            box->button(*button)->click();
        else
            box->close();
    });
}

TEST_F(QtMessageBoxTest, QuestionsAreAnsweredYesOrNo)
{
    HWND owner = makemainwindow();
    Seen seen;
    answer(seen, QMessageBox::Yes);
    EXPECT_EQ(MessageBoxA(owner, "Save the picture?", "Question", MB_YESNO | MB_ICONEXCLAMATION), IDYES);
    EXPECT_EQ(seen.title, QStringLiteral("Question"));
    EXPECT_EQ(seen.text, QStringLiteral("Save the picture?"));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.parent, widgetfor(owner));
    EXPECT_EQ(seen.buttons, 2);

    answer(seen, QMessageBox::No);
    EXPECT_EQ(MessageBoxA(owner, "Again?", "Question", MB_YESNO | MB_ICONINFORMATION), IDNO);
    EXPECT_EQ(seen.icon, QMessageBox::Information);

    answer(seen, std::nullopt);
    EXPECT_EQ(MessageBoxA(owner, "And now?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

TEST_F(QtMessageBoxTest, NoticesHaveOneButtonAndShowTheirTextAsItIs)
{
    Seen seen;
    answer(seen, QMessageBox::Ok);
    EXPECT_EQ(MessageBoxA(nullptr, "Unable to open <file>.\nTry again.", "Error", MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(seen.title, QStringLiteral("Error"));
    EXPECT_EQ(seen.text, QStringLiteral("Unable to open <file>.\nTry again."));
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.parent, nullptr);
    EXPECT_EQ(seen.buttons, 1);

    answer(seen, std::nullopt);
    EXPECT_EQ(MessageBoxA(nullptr, "Closed", "Notice", MB_OK), IDOK);
}

} // namespace
} // namespace kt::testing
