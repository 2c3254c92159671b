#include <filesystem>
#include <fstream>

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

#include "platform/qt/filechooser.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

using QtFileChooserTest = QtBackendTest;

constexpr char dv3filters[] = "DV3 files (*.dv3)\0*.dv3\0Palettes\0*.map;*.MAP\0";

struct Seen {
    QString title;
    QStringList filters;
    QString selectedfilter;
    QString suffix;
    QString directory;
    QStringList selected;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode filemode = QFileDialog::AnyFile;
    bool confirmsoverwrite = false;
};

// Notes what the next file dialog shows, then chooses `path` in it, or
// cancels when `path` is empty.
void answer(Seen& seen, const QString& path)
{
    whenmodal([&seen, path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = Seen{dialog->windowTitle(),
                    dialog->nameFilters(),
                    dialog->selectedNameFilter(),
                    dialog->defaultSuffix(),
                    dialog->directory().absolutePath(),
                    dialog->selectedFiles(),
                    dialog->acceptMode(),
                    dialog->fileMode(),
                    !dialog->testOption(QFileDialog::DontConfirmOverwrite)};
        if (path.isEmpty()) {
            dialog->reject();
        } else {
            // Typed into the name field, as the user would.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(path);
            static_cast<QDialog*>(dialog)->accept(); // as the Open or Save button does
        }
    });
}

TEST_F(QtFileChooserTest, OpenDialogOffersTheFiltersAndFolderAndReturnsTheChoice)
{
    QTemporaryDir folder;
    const std::string dir = folder.path().toStdString();
    std::ofstream(dir + "/icon.dv3") << "x";
    HWND owner = makemainwindow();

    std::string file = dir + "/*.dv3";
    std::string title;
    OPENFILENAMEA ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = dv3filters;
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = &file;
    ofn.lpstrFileTitle = &title;
    ofn.lpstrTitle = "Load Parameters";
    ofn.lpstrDefExt = "dv3";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

    Seen seen;
    answer(seen, folder.filePath("icon.dv3"));
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(file, dir + "/icon.dv3");
    EXPECT_EQ(title, "icon.dv3");
    EXPECT_EQ(seen.title, QStringLiteral("Load Parameters"));
    EXPECT_EQ(seen.filters, (QStringList{"DV3 files (*.dv3)", "Palettes (*.map *.MAP)"}));
    EXPECT_EQ(seen.selectedfilter, QStringLiteral("Palettes (*.map *.MAP)"));
    EXPECT_EQ(seen.suffix, QStringLiteral("dv3"));
    EXPECT_EQ(seen.directory, folder.path());
    EXPECT_EQ(seen.mode, QFileDialog::AcceptOpen);
    EXPECT_EQ(seen.filemode, QFileDialog::ExistingFile);

    answer(seen, QString());
    file = dir + "/*.dv3";
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(file, dir + "/*.dv3");
}

TEST_F(QtFileChooserTest, SaveDialogStartsAtTheLastFileAndConfirmsOverwritingOnlyWhenAsked)
{
    QTemporaryDir folder;
    FileDialogRequest request;
    request.save = true;
    request.title = "Save Image";
    request.filters = {{"TGA files (*.tga)", "*.tga"}};
    request.initialPath = folder.filePath("old.tga").toStdString();
    request.defaultExtension = "tga";
    request.flags = OFN_OVERWRITEPROMPT;

    Seen seen;
    answer(seen, folder.filePath("new.tga"));
    EXPECT_EQ(qtbackend().choosefile(request), folder.filePath("new.tga").toStdString());
    EXPECT_EQ(seen.mode, QFileDialog::AcceptSave);
    EXPECT_TRUE(seen.confirmsoverwrite);
    EXPECT_EQ(seen.selected, QStringList{folder.filePath("old.tga")});
    EXPECT_EQ(seen.filters, QStringList{"TGA files (*.tga)"});
    EXPECT_EQ(seen.selectedfilter, QStringLiteral("TGA files (*.tga)"));

    request.flags = 0;
    answer(seen, QString());
    EXPECT_EQ(qtbackend().choosefile(request), std::nullopt);
    EXPECT_FALSE(seen.confirmsoverwrite);
}

TEST_F(QtFileChooserTest, TheNameFieldProposesThePatternOrTheCurrentName)
{
    QTemporaryDir folder;
    std::ofstream(folder.filePath("old.tga").toStdString()) << "x";
    for (bool save : {true, false}) {
        for (const char* start : {"*.tga", "old.tga", "new.tga"}) {
            FileDialogRequest request;
            request.save = save;
            request.filters = {{"TGA files (*.tga)", "*.tga"}};
            request.initialPath = folder.filePath(start).toStdString();
            QString shown = QStringLiteral("(no dialog)");
            whenmodal([&shown](QWidget* modal) {
                auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                shown = name ? name->text() : QStringLiteral("(no field)");
                static_cast<QDialog*>(modal)->reject();
            });
            qtbackend().choosefile(request);
            EXPECT_EQ(shown, QString::fromLatin1(start)) << (save ? "save " : "open ") << start;
        }
    }
}

TEST_F(QtFileChooserTest, AProposedPatternNamesNoFile)
{
    QTemporaryDir folder;
    FileDialogRequest request;
    request.save = true;
    request.filters = {{"TGA files (*.tga)", "*.tga"}};
    request.initialPath = folder.filePath("*.tga").toStdString();
    QStringList shown;
    for (const QString& typed : {QString(), folder.filePath("star.tga")})
        whenmodal([&shown, typed](QWidget* modal) {
            auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            shown << name->text();
            if (!typed.isEmpty())
                name->setText(typed);
            static_cast<QDialog*>(modal)->accept(); // first with the pattern as proposed
        });
    EXPECT_EQ(qtbackend().choosefile(request), folder.filePath("star.tga").toStdString());
    EXPECT_EQ(shown, (QStringList{"*.tga", "*.tga"})) << "the dialog stayed open after the pattern";
}

TEST(QtNameFilterTest, PatternsAreGivenOnceInQtsForm)
{
    EXPECT_EQ(namefilter("DV3 files (*.dv3)", "*.dv3"), QStringLiteral("DV3 files (*.dv3)"));
    EXPECT_EQ(namefilter("Maps (*.map;*.MAP)", "*.map;*.MAP"), QStringLiteral("Maps (*.map *.MAP)"));
    EXPECT_EQ(namefilter("All files", "*.*"), QStringLiteral("All files (*.*)"));
}

} // namespace
} // namespace kt::testing
