#include <gtest/gtest.h>

#include "engine/filenames.h"
#include "files/paramfiles.h"
#include "support/shell/programfixture.h"
#include "support/base/tempdir.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using StartupTest = testing::ProgramTest;

TEST_F(StartupTest, SplashThenTheBuiltInIconRenders)
{
    std::uint32_t seen = 0;
    int type = -1;
    then(
        [&] {
            seen = desktop->engine.itercount;
            type = desktop->engine.type;
            click();
        },
        40);
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);

    EXPECT_GT(seen, 1000u) << "batches ran after the start";
    EXPECT_EQ(type, 0);
    ASSERT_GE(headless().created.size(), 3u);
    const auto& main = headless().created[0];
    EXPECT_EQ(main.classname, "KTWindow");
    const auto& opening = headless().created[1];
    EXPECT_EQ(opening.classname, "KTSplashWindow") << "shown while the main window is being created";
    EXPECT_EQ(opening.x, 352);
    EXPECT_EQ(opening.y, 224);
    EXPECT_EQ(opening.width, 320);
    EXPECT_EQ(opening.height, 320);
    EXPECT_EQ(opening.style, WS_POPUP);
    EXPECT_EQ(main.title, "KT Dravune 3D");
    EXPECT_EQ(main.x, 0);
    EXPECT_EQ(main.width, 1024);
    EXPECT_EQ(main.height, 768);
    EXPECT_EQ(headless().sleeps, (std::vector<unsigned>{2000, 2000})) << "opening and closing splash";
    EXPECT_TRUE(headless().messageboxes.empty());
}

TEST_F(StartupTest, StartUpErrorsAreReportedWithoutOwner)
{
    const struct {
        const char* failingClass;
        bool failWindow;
        int depth;
        const char* text;
    } cases[] = {
        {"KTWindow", false, 32, "Couldn't register main window class."},
        {"KTPopupWindow", false, 32, "Couldn't register popup window class."},
        {"KTWindow", true, 32, "Couldn't create main window."},
        {nullptr, false, 16, "Couldn't initialize graphics."},
    };
    for (const auto& c : cases) {
        resetall();
        headless().depth = c.depth;
        if (c.failingClass && c.failWindow)
            injectwindowfailure(c.failingClass);
        else if (c.failingClass)
            injectclassfailure(c.failingClass);
        EXPECT_EQ(run(), 0);
        ASSERT_EQ(headless().messageboxes.size(), 1u) << c.text;
        const auto& box = headless().messageboxes[0];
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.type, MB_ICONEXCLAMATION);
        EXPECT_EQ(box.owner, nullptr);
    }
    // The display check comes after the window's creation step, splash
    // included, and the window is never shown.
    EXPECT_EQ(headless().sleeps.size(), 1u);
    EXPECT_FALSE(mainwindow()->visible);
}

TEST_F(StartupTest, WithoutTheSplashClassThereIsNoSplash)
{
    injectclassfailure("KTSplashWindow");
    then([&] { click(); }, 6);
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(headless().sleeps.empty());
    EXPECT_TRUE(headless().messageboxes.empty());
}

class CommandLineTest : public testing::ProgramTest {
protected:
    // Runs with `argument` and reports the formula of the first picture.
    int formulaafterstart(const std::string& argument)
    {
        int type = -1;
        then(
            [&] {
                type = desktop->engine.type;
                click();
            },
            6);
        then([&] { press(VK_ESCAPE); });
        EXPECT_EQ(run(argument), 0);
        EXPECT_TRUE(headless().messageboxes.empty()) << "a failed start-up load is silent";
        return type;
    }
    std::string formula2file(const std::string& name)
    {
        desktop->engine.type = 1;
        const std::string path = dir.file(name);
        desktop->filenames.sdv3file = path;
        EXPECT_EQ(writedv3(desktop->context, desktop->engine, desktop->filenames, 0), 0);
        resetall();
        return path;
    }
    testing::TempDir dir;
};

TEST_F(CommandLineTest, PlainAndQuotedPathsLoad)
{
    const std::string path = formula2file("star.dv3");
    EXPECT_EQ(formulaafterstart(path), 1);
    EXPECT_EQ(desktop->shell.recentfiles, std::vector<std::string>{path}) << "a file opened at the start is recent too";
    resetall();
    EXPECT_EQ(formulaafterstart("\"" + path + "\""), 1);
}

TEST_F(CommandLineTest, PathsWithSpacesLoad)
{
    const std::string path = formula2file("my star.dv3");
    EXPECT_EQ(formulaafterstart(path), 1);
}

TEST_F(CommandLineTest, MissingRefusedAndOverlongPathsLoadNothing)
{
    EXPECT_EQ(formulaafterstart(dir.file("absent.dv3")), 0);
    resetall();
    testing::writebytes(dir.file("short.dv3"), {1, 0, 0, 0});
    EXPECT_EQ(formulaafterstart(dir.file("short.dv3")), 0);
    resetall();
    EXPECT_EQ(formulaafterstart(std::string(300, 'a') + ".dv3"), 0);
}

TEST(CommandLinePath, QuotesAndLength)
{
    EXPECT_EQ(commandlinepath("\"/a b/c.dv3\""), "/a b/c.dv3");
    EXPECT_EQ(commandlinepath("/pics/star.dv3"), "/pics/star.dv3");
    EXPECT_EQ(commandlinepath("\""), "\"");
    EXPECT_EQ(commandlinepath(""), "");
    EXPECT_EQ(commandlinepath(std::string(259, 'x')).size(), 259u);
    EXPECT_EQ(commandlinepath(std::string(260, 'x')), "");
    EXPECT_EQ(commandlinepath("\"" + std::string(259, 'x') + "\"").size(), 259u);
}

TEST_F(StartupTest, OffscreenImageFailureEndsTheProgram)
{
    // The opening splash has its picture; the image made after it fails.
    headless().onsleep = [&] {
        Surface::injectcreatefailures(1);
        headless().onsleep = nullptr;
    };
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(headless().messageboxes.size(), 1u);
    const auto& box = headless().messageboxes[0];
    EXPECT_EQ(box.text, "Unable to allocate virtual screen buffer.\nTry to free up some memory.");
    EXPECT_EQ(box.caption, "Memory Problem");
    EXPECT_EQ(box.type, MB_ICONEXCLAMATION);
    EXPECT_EQ(box.owner, mainwindow());
    EXPECT_EQ(desktop->engine.okicon, 0) << "nothing was rendered";
    EXPECT_EQ(headless().sleeps.size(), 2u) << "the closing splash still shows";
}

} // namespace
} // namespace kt
