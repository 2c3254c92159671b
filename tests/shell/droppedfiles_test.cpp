#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "files/mapsave.h"
#include "files/paramfiles.h"
#include "image/palettes.h"
#include "platform/dropfiles.h"
#include "shell/desktop.h"
#include "support/base/tempdir.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

class DroppedFilesTest : public testing::ProgramTest {
protected:
    testing::TempDir dir;
};

// A file dropped onto the window opens as the menu's open commands open it,
// with their messages for a bad one; a bad or unknown file changes nothing,
// and a palette's failure does not blank the picture as the menu's does.
TEST_F(DroppedFilesTest, ADroppedParameterFileOrPaletteOpensAsFromTheMenu)
{
    desktop->engine.type = 1;
    desktop->filenames.sdv3file = dir.file("two.dv3");
    ASSERT_EQ(writedv3(desktop->context, desktop->engine, desktop->filenames, 0), 0);
    ASSERT_EQ(savemapfile(desktop->context, *namedpalette("viridis"), dir.file("viridis.MAP")), 0);
    testing::writebytes(dir.file("short.dv"), {1, 2});
    testing::writetext(dir.file("notes.txt"), "not a picture");

    struct Case {
        std::string name;
        std::vector<std::string> files;
        bool rendering;
        std::string box; // the text of the one message, or none
        std::function<void(const Desktop&)> expect;
    };
    const auto unchanged = [](const Desktop& d) {
        EXPECT_EQ(d.engine.type, 0);
        EXPECT_EQ(d.engine.palette, defpal1);
        EXPECT_EQ(d.engine.newimage, 0);
    };
    const Case cases[] = {
        {"a parameter file",
         {dir.file("two.dv3"), dir.file("notes.txt")},
         false,
         "",
         [](const Desktop& d) {
             EXPECT_EQ(d.engine.type, 1);
             EXPECT_EQ(d.engine.okicon, 1) << "it renders at once";
         }},
        {"a parameter file while rendering",
         {dir.file("two.dv3")},
         true,
         "",
         [](const Desktop& d) {
             EXPECT_EQ(d.engine.type, 1);
             EXPECT_EQ(d.engine.okicon, 1);
             EXPECT_EQ(d.engine.newimage, 1) << "a new picture of the loaded set";
         }},
        {"a short .dv file",
         {dir.file("short.dv")},
         false,
         loaderror(loadtooshort, dir.file("short.dv")).text,
         unchanged},
        {"a palette, accepted",
         {dir.file("viridis.MAP")},
         false,
         "Accept palette?",
         [](const Desktop& d) {
             EXPECT_EQ(d.engine.palette, *namedpalette("viridis"));
             EXPECT_EQ(d.engine.newimage, 0) << "the picture is recoloured, not started again";
         }},
        {"a palette that is not there", {dir.file("absent.map")}, false, "Error opening MAP file", unchanged},
        {"a file of another kind",
         {dir.file("notes.txt")},
         false,
         "Only parameter files (.dv3, .dv) and palettes (.map)\n   can be opened by dropping them here, not\n"
         "   notes.txt.",
         unchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetall();
        paused([&] {
            desktop->engine.newimage = 0;
            if (c.rendering)
                command(cmdrender);
            headless().messageboxes.clear();
            deliverdrop(mainwindow(), c.files);
            settle();
            ASSERT_EQ(headless().messageboxes.size(), c.box.empty() ? 0u : 1u);
            if (!c.box.empty()) {
                EXPECT_EQ(headless().messageboxes[0].text, c.box);
            }
            c.expect(*desktop);
            if (desktop->engine.okicon)
                command(cmdrender);
        });
    }
}

} // namespace
} // namespace kt
