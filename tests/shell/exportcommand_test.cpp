#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "files/picturetext.h"
#include "shell/desktop.h"
#include "shell/desktoppicture.h"
#include "shell/exportdialog.h"
#include "shell/resources.h"
#include "support/base/tempdir.h"
#include "support/platform/dialogscript.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

class ExportTest : public testing::ProgramTest {
protected:
    testing::TempDir dir;
};

TEST_F(ExportTest, FieldsThatMakeNoPictureKeepTheDialogOpenAndChangeNothing)
{
    const struct {
        int field;
        const char* text;
        const char* message;
    } cases[] = {
        {widthfield, "0x10", "Width takes a whole number."},
        {heightfield, "", "Height takes a whole number."},
        {orbitsfield, "-4", "Orbits takes a whole number."},
        {sppfield, "nan", "Steps per pixel takes a positive number."},
        {sppfield, "0", "Steps per pixel takes a positive number."},
        {supersamplefield, "9", "supersample takes a whole number from 1 to 8."},
        {widthfield, "20000", "size takes each side from 16 to 16384."},
        {orbitsfield, "2000000", "orbits takes a whole number from 1 to 1000000."},
    };
    const ExportSettings before = desktop->exportsettings;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto run = testing::rundialog(exportdialog, ExportDialogProc, dialogparam(*desktop), [&](HWND d) {
            usertypes(d, c.field, c.text);
            userclicks(d, IDOK);
        });
        EXPECT_EQ(run.result, IDCANCEL);
        ASSERT_FALSE(headless().messageboxes.empty());
        EXPECT_EQ(headless().messageboxes.back().text, std::string("The picture cannot be exported: ") + c.message);
        EXPECT_EQ(desktop->exportsettings.width, before.width);
        EXPECT_EQ(desktop->exportsettings.orbits, before.orbits);
        EXPECT_EQ(desktop->exportsettings.spp, before.spp);
    }
}

// What the window exports is what the batch renderer draws from the same
// picture text.
TEST_F(ExportTest, AnExportIsTheBatchRenderersPictureByteForByte)
{
    const struct {
        const char *width, *height, *supersample;
        int tone;
        const char* file;
    } cases[] = {
        {"150", "120", "2", densitybutton, "toned.png"},
        {"200", "200", "1", hitbutton, "drawn.tga"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        resetall();
        const std::string exported = dir.file(c.file);
        Picture picture;
        paused([&] {
            command(cmdnamedpalette + 1);
            headless().dialogscripts.push_back([&](HWND d) {
                usertypes(d, widthfield, c.width);
                usertypes(d, heightfield, c.height);
                usertypes(d, sppfield, "6");
                usertypes(d, supersamplefield, c.supersample);
                usertypes(d, orbitsfield, "64");
                userclicks(d, c.tone);
                userclicks(d, IDOK);
            });
            headless().fileanswers.push_back(exported);
            command(cmdexport);
            picture = exportpicture(desktoppicture(*desktop), desktop->exportsettings);
            EXPECT_EQ(headless().messageboxes.back().text, std::string("Picture exported as ") + c.file);
        });
        EXPECT_EQ(picture.palette, "magma");
        const std::string text = dir.file("picture.json");
        const std::string reference = dir.file("reference" + std::string(c.file).substr(5));
        testing::writetext(text, picturetext(picture, false));
        const std::string command =
            std::string(KT_RENDERER) + " --quiet --picture '" + text + "' -o '" + reference + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(testing::readbytes(exported), testing::readbytes(reference));
    }
}

} // namespace
} // namespace kt
