#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/randomsearch.h"
#include "files/atomicfile.h"
#include "engine/filenames.h"
#include "files/paramfiles.h"
#include "image/mapfile.h"
#include "image/palettes.h"
#include "support/shell/programfixture.h"
#include "support/base/tempdir.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class CommandTest : public testing::ProgramTest {
protected:
    const MessageBoxRequest& lastbox() { return headless().messageboxes.back(); }
    void expectbox(const std::string& text, const std::string& title, UINT type, HWND owner)
    {
        ASSERT_FALSE(headless().messageboxes.empty());
        const auto& box = lastbox();
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, title);
        EXPECT_EQ(box.type, type);
        EXPECT_EQ(box.owner, owner);
    }
    testing::TempDir dir;
};

TEST_F(CommandTest, HelpAndParameterDisplayModeWhilePaused)
{
    paused([&] {
        command(cmdhelp);
        const auto& boxes = headless().messageboxes;
        ASSERT_GE(boxes.size(), 2u);
        EXPECT_EQ(boxes[boxes.size() - 2].text,
                  "Please refer to the included file,\n   'KT Dravune 3D.pdf'.\n\nTo access all the menu options,\n"
                  "   rendering must be paused with\n   either the 'R'key or a mouse\n   click.");
        // The test program has no guide beside it, and the headless system
        // no viewer: each is said.
        expectbox("The user guide, 'KT Dravune 3D.pdf', was not found\n   beside the program or where it is installed.",
                  "Help", MB_ICONINFORMATION, nullptr);
        const std::string guide = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "KT Dravune 3D.pdf");
        testing::writetext(guide, "%PDF-1.4");
        command(cmdhelp);
        std::filesystem::remove(guide);
        expectbox("No viewer for PDF files was found to open\n   the user guide. It is\n   " + guide, "Help",
                  MB_ICONINFORMATION, nullptr);
        press('D', MOD_CONTROL | MOD_ALT);
        settle();
        expectbox("Parameter display mode enabled.", "Debug Mode", MB_ICONINFORMATION, nullptr);
        EXPECT_EQ(desktop->search.debugflag, 1);
        press('D', MOD_CONTROL | MOD_ALT);
        settle();
        expectbox("Parameter display mode disabled.", "Debug Mode", MB_ICONINFORMATION, nullptr);
        EXPECT_EQ(desktop->search.debugflag, 0);
    });
}

TEST_F(CommandTest, CommandsOtherThanRenderAreRefusedWhileRendering)
{
    then(
        [&] {
            command(cmdhelp);
            command(cmdpalette2);
            command(cmdclearscreen);
            press(VK_F1);
            press('D', MOD_CONTROL | MOD_ALT); // no menu item: refused by the command itself
        },
        10);
    then([&] { click(); }, 6);
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(headless().messageboxes.empty());
    EXPECT_EQ(desktop->engine.palette, defpal1);
    EXPECT_EQ(desktop->search.debugflag, 0);
}

TEST_F(CommandTest, DefaultPalettesMoveTheCheckMark)
{
    paused([&] {
        const std::uint32_t steps = desktop->engine.itercount;
        const Surface& image = *desktop->engine.g_vhdc;
        const std::vector<std::uint32_t> before(image.bits(), image.bits() + image.width() * image.height());
        press(VK_F1 + 8);
        press(VK_F1 + 9);
        settle();
        EXPECT_EQ(desktop->engine.itercount, steps);
        EXPECT_NE(std::vector<std::uint32_t>(image.bits(), image.bits() + image.width() * image.height()), before)
            << "the picture is shown in the new palette at once";
        EXPECT_EQ(palettecolour(desktop->engine.palette, 20), RGB(148, 0, 0));
        EXPECT_EQ(menustate(cmdpalette2) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(menustate(cmdpalette1) & MF_CHECKED, 0u);
        EXPECT_EQ(menustate(cmdpalette) & MF_CHECKED, 0u);
        EXPECT_EQ(desktop->engine.newimage, 0) << "recoloured, not started again";
    });
}

TEST_F(CommandTest, APerceptualPaletteSavedAsAMapLoadsBackThroughThePaletteDialog)
{
    const std::string path = dir.file("mine.map");
    paused([&] {
        const UINT cividis = cmdnamedpalette + 3;
        command(cividis);
        EXPECT_EQ(desktop->engine.palette, *namedpalette("cividis"));
        EXPECT_EQ(menustate(cividis) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(menustate(cmdpalette1) & MF_CHECKED, 0u);
        EXPECT_EQ(desktop->engine.newimage, 0);
        headless().onmessagebox = [&](const MessageBoxRequest&) { return IDYES; };
        headless().fileanswers.push_back(path);
        command(cmdsavepalette);
        command(cmdpalette1);
        EXPECT_EQ(menustate(cividis) & MF_CHECKED, 0u);
        headless().fileanswers.push_back(path);
        command(cmdpalette);
        headless().onmessagebox = nullptr;
        EXPECT_EQ(desktop->engine.palette, *namedpalette("cividis")) << "the saved map is the palette";
        EXPECT_EQ(menustate(cmdpalette) & MF_CHECKED, MF_CHECKED);
    });
}

TEST_F(CommandTest, PalettePreviewShowsTheStripAndRestoresTheCorner)
{
    const std::string path = dir.file("red.map");
    std::string text = "0 0 0\n";
    for (int k = 1; k < 256; ++k)
        text += std::to_string(k) + " 0 0\n";
    testing::writetext(path, text);
    std::vector<COLORREF> strip;
    paused([&] {
        HWND main = mainwindow();
        const COLORREF cornerBefore = main->client.getpixel(30, 30);
        headless().fileanswers.push_back(path);
        headless().onmessagebox = [&](const MessageBoxRequest& box) {
            EXPECT_EQ(box.text, "Accept palette?");
            EXPECT_EQ(box.caption, "Preview");
            EXPECT_EQ(box.type, MB_YESNO | MB_ICONINFORMATION);
            EXPECT_EQ(box.owner, nullptr);
            for (POINT p : {POINT{20, 25}, POINT{19, 25}, POINT{276, 25}, POINT{20, 74}, POINT{20, 75}, POINT{0, 0},
                            POINT{1, 1}, POINT{2, 2}, POINT{3, 3}, POINT{275, 50}})
                strip.push_back(main->client.getpixel(p.x, p.y));
            return IDYES;
        };
        command(cmdpalette);
        headless().onmessagebox = nullptr;
        EXPECT_EQ(main->client.getpixel(30, 30), cornerBefore) << "the corner is restored";
        EXPECT_EQ(palettecolour(desktop->engine.palette, 200), RGB(200, 0, 0));
        EXPECT_EQ(menustate(cmdpalette) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(menustate(cmdpalette1) & MF_CHECKED, 0u);
        EXPECT_EQ(desktop->engine.newimage, 0);
        ASSERT_EQ(headless().filedialogs.size(), 1u);
        EXPECT_EQ(headless().filedialogs[0].title, "Select a Fractint .MAP File");
    });
    const COLORREF back = RGB(255, 245, 230);
    ASSERT_EQ(strip.size(), 10u);
    EXPECT_EQ(strip[0], RGB(0, 0, 0)) << "entry 0 at x = 20";
    EXPECT_EQ(strip[1], back);
    EXPECT_EQ(strip[2], back);
    EXPECT_EQ(strip[3], RGB(0, 0, 0)) << "the swatches reach y = 74";
    EXPECT_EQ(strip[4], back) << "and stop there";
    EXPECT_EQ(strip[5], RGB(205, 215, 225));
    EXPECT_EQ(strip[6], RGB(215, 225, 235));
    EXPECT_EQ(strip[7], RGB(205, 215, 225));
    EXPECT_EQ(strip[8], back);
    EXPECT_EQ(strip[9], RGB(255, 0, 0)) << "entry 255 at x = 275";
}

TEST_F(CommandTest, DecliningAPreviewAsksAgainAndCancellingKeepsThePalette)
{
    const std::string path = dir.file("vga.map");
    testing::writetext(path, "1 2 3\n");
    paused([&] {
        headless().fileanswers.push_back(path);
        headless().answers.push_back(IDNO);
        command(cmdpalette); // the posted 135 reopens the dialog, which is cancelled
        EXPECT_EQ(headless().filedialogs.size(), 2u);
        EXPECT_EQ(desktop->engine.palette, defpal1);
        EXPECT_EQ(menustate(cmdpalette1) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(desktop->engine.newimage, 0);
    });
}

TEST_F(CommandTest, ABadPaletteFileIsReportedAndClearsThePicture)
{
    const std::string path = dir.file("bad.map");
    testing::writetext(path, "1 2 3\nnot a colour\n");
    paused([&] {
        headless().fileanswers.push_back(path);
        command(cmdpalette);
        expectbox("Error opening MAP file", "MAP file error", MB_ICONEXCLAMATION, mainwindow());
        EXPECT_EQ(desktop->engine.g_vhdc->getpixel(300, 300), RGB(0, 0, 0)) << "Clear Screen followed";
        EXPECT_EQ(desktop->engine.palette, defpal1);
    });
}

TEST_F(CommandTest, ClearScreenBlanksWindowAndImageButKeepsTheCounts)
{
    paused([&] {
        const std::uint32_t hits = desktop->engine.hitmax;
        press(VK_F1 + 10);
        settle();
        EXPECT_EQ(desktop->engine.g_vhdc->getpixel(0, 0), RGB(0, 0, 0));
        EXPECT_EQ(desktop->engine.g_vhdc->getpixel(599, 599), RGB(0, 0, 0));
        EXPECT_EQ(mainwindow()->client.getpixel(0, 0), RGB(0, 0, 0));
        EXPECT_EQ(desktop->engine.newimage, 1);
        EXPECT_EQ(desktop->engine.hitmax, hits);
    });
}

TEST_F(CommandTest, LoadingRendersAtOnceAndRefusalsChangeNothing)
{
    desktop->engine.type = 1;
    desktop->filenames.sdv3file = dir.file("two.dv3");
    ASSERT_EQ(writedv3(desktop->context, desktop->engine, desktop->filenames, 0), 0);
    resetall();
    testing::writebytes(dir.file("short.dv3"), {1, 2});
    paused([&] {
        for (const char* name : {"absent.dv3", "short.dv3"}) {
            headless().fileanswers.push_back(dir.file(name));
            press('L');
            settle();
        }
        EXPECT_EQ(desktop->engine.okicon, 0);
        EXPECT_EQ(desktop->engine.type, 0);
        EXPECT_EQ(headless().messageboxes.size(), 1u) << "a missing file is refused by the dialog itself";
        expectbox(loaderror(loadtooshort, "short.dv3").text, "DV3 file error", MB_ICONEXCLAMATION, mainwindow());

        headless().fileanswers.push_back(dir.file("two.dv3"));
        press('L');
        settle();
        EXPECT_EQ(desktop->engine.type, 1);
        EXPECT_EQ(desktop->engine.okicon, 1) << "the loaded set renders at once";
        EXPECT_EQ(desktop->engine.newimage, 1);
        EXPECT_EQ(headless().filedialogs.back().title, "Select an DV3 / DV parameter file:");
        press('R');
        settle();
    });
}

TEST_F(CommandTest, SavingImageAndParametersReportsBoth)
{
    paused([&] {
        headless().fileanswers.push_back(dir.file("star"));
        press('S');
        settle();
        ASSERT_EQ(headless().messageboxes.size(), 2u);
        EXPECT_EQ(headless().messageboxes[0].text, "Image saved as star.tga");
        EXPECT_EQ(headless().messageboxes[0].caption, "KT Dravune 3D");
        EXPECT_EQ(headless().messageboxes[0].type, MB_ICONINFORMATION);
        expectbox("Parameters saved as star.dv3\n\nLoad via ' File ' menu or by double-clicking.", "KT Dravune 3D",
                  MB_ICONINFORMATION, nullptr);
        EXPECT_EQ(testing::readbytes(dir.file("star.tga")).size(), 44u + 3 * 600 * 600);
        EXPECT_EQ(testing::readbytes(dir.file("star.dv3")).size(), 130u);

        // The next parameter save proposes the file just written.
        press('P');
        settle();
        EXPECT_EQ(headless().filedialogs.back().initialPath, dir.file("star.dv3"));
        EXPECT_EQ(headless().filedialogs.back().title, "Select a file for saving parameters:");
    });
}

TEST_F(CommandTest, AFailedImageWriteKeepsTheOldFileAndWritesNoParameters)
{
    testing::writebytes(dir.file("old.tga"), {1, 2, 3});
    paused([&] {
        headless().fileanswers.push_back(dir.file("old.tga"));
        AtomicFile::injectwritefailure(1000);
        press('S');
        settle();
        AtomicFile::injectwritefailure(-1);
        expectbox("Error writing to save file.", "Save file error", MB_ICONEXCLAMATION, mainwindow());
        EXPECT_EQ(headless().messageboxes.size(), 1u);
        EXPECT_EQ(testing::readbytes(dir.file("old.tga")), (std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_FALSE(std::filesystem::exists(dir.file("old.dv3")));
    });
}

TEST_F(CommandTest, SavingParametersOnly)
{
    paused([&] {
        headless().fileanswers.push_back(dir.file("set.dv3"));
        press('P');
        settle();
        expectbox("Parameters saved as set.dv3\n\nLoad via ' File ' menu or by double-clicking.", "KT Dravune 3D",
                  MB_ICONINFORMATION, nullptr);
        headless().fileanswers.push_back(dir.file("set.dv3"));
        AtomicFile::injectwritefailure(0);
        press('P');
        settle();
        AtomicFile::injectwritefailure(-1);
        expectbox("Error writing to save file.", "Save file error", MB_ICONEXCLAMATION, mainwindow());
        EXPECT_EQ(testing::readbytes(dir.file("set.dv3")).size(), 130u) << "the saved file survived";
    });
}

// Alt and a letter of the bar open that popup; the letters typed then choose
// as the mouse would, greyed items included.
TEST_F(CommandTest, AltAndALetterOpenAPopupWhoseLettersChoose)
{
    struct Case {
        std::string name;
        int key;
        std::string letters;
        int popup;       // the position opened, or -1
        std::string box; // the caption of the dialog or box the choice opens, or none
    };
    const Case cases[] = {
        {"Options, Parameters", 'O', "P", 3, "                  Dravune 3D Parameters"},
        {"Render, the log submenu, its squared filter", 'R', "hc", 2, "Hit Count Adjustment Advisory"},
        {"Help, About's letter is its word's", 'H', "A", 5, ""},
        {"a letter no popup has", 'Z', "", -1, ""},
        {"a letter no item has", 'F', "Q", 0, ""},
    };
    paused([&] {
        for (const Case& c : cases) {
            headless().menusopened.clear();
            headless().dialogs.clear();
            headless().messageboxes.clear();
            headless().menuletters.push_back(c.letters);
            press(c.key, MOD_ALT, static_cast<char32_t>(c.key + 32));
            settle();
            EXPECT_EQ(headless().menusopened, (c.popup < 0 ? std::vector<int>{} : std::vector<int>{c.popup})) << c.name;
            std::vector<std::string> shown = headless().dialogs;
            for (const auto& box : headless().messageboxes)
                shown.push_back(box.caption);
            EXPECT_EQ(shown, (c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box})) << c.name;
            headless().menuletters.clear();
            EXPECT_EQ(desktop->shell.aboutflag, c.key == 'H' ? 1 : 0) << c.name;
            if (desktop->shell.aboutflag)
                SendMessageA(allwindows().back(), WM_LBUTTONDOWN, 0, 0);
        }
        EXPECT_EQ(desktop->shell.aboutflag, 0);
        command(cmdrender);
        headless().menuletters.push_back("P");
        press('O', MOD_ALT, U'o');
        settle();
        EXPECT_TRUE(headless().dialogs.empty()) << "greyed while rendering";
        command(cmdrender);
    });
}

TEST_F(CommandTest, AboutOpensFromItsKey)
{
    paused([&] {
        press(VK_F1 + 1);
        settle();
        EXPECT_FALSE(IsWindowEnabled(mainwindow()));
        EXPECT_EQ(desktop->shell.aboutflag, 1);
        for (HWND w : allwindows())
            if (w->classname == "KTPopupWindow")
                deliverclick(w, true, 1, 1);
        settle();
        EXPECT_TRUE(IsWindowEnabled(mainwindow()));
    });
}

} // namespace
} // namespace kt
