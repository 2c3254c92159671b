#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include <cstdlib>
#include <filesystem>

#include "shell/recentfiles.h"
#include "support/shell/programfixture.h"
#include "support/base/tempdir.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class RecentFilesTest : public testing::ProgramTest {
protected:
    // The texts of the File menu's items after Exit.
    std::vector<std::string> listed()
    {
        std::vector<std::string> texts;
        for (const MenuItem& item : GetSubMenu(GetMenu(mainwindow()), 0)->items)
            if (item.id >= cmdrecentfile)
                texts.push_back(menushowntext(item.text));
        return texts;
    }

    void saveparameters(const std::string& path, double scale)
    {
        desktop->engine.icon[0].scale = scale;
        headless().fileanswers.push_back(path);
        command(cmdsaveparameters);
    }

    testing::TempDir dir;
};

TEST_F(RecentFilesTest, SurviveARestartAndDropAFileThatHasGone)
{
    paused([&] {
        EXPECT_TRUE(listed().empty());
        saveparameters(dir.file("a.dv3"), 1.25);
        saveparameters(dir.file("b.dv3"), 1.5);
        saveparameters(dir.file("a.dv3"), 1.75);
        EXPECT_EQ(listed(), (std::vector<std::string>{"1  a.dv3", "2  b.dv3"})) << "newest first, each once";
    });
    freshdesktop(); // a restart: the configuration folder stays

    paused([&] {
        EXPECT_EQ(listed(), (std::vector<std::string>{"1  a.dv3", "2  b.dv3"})) << "kept across runs";
        std::filesystem::remove(dir.file("a.dv3"));
        headless().messageboxes.clear();
        command(cmdrecentfile);
        ASSERT_EQ(headless().messageboxes.size(), 1u);
        EXPECT_NE(headless().messageboxes[0].text.find("no longer exists"), std::string::npos);
        EXPECT_EQ(listed(), (std::vector<std::string>{"1  b.dv3"}));
        EXPECT_EQ(desktop->engine.okicon, 0) << "nothing loaded";

        command(cmdrecentfile);
        EXPECT_EQ(desktop->engine.icon[0].scale, 1.5);
        EXPECT_EQ(desktop->engine.okicon, 1) << "the file loaded renders";
        press('R');
        settle();
    });
    EXPECT_EQ(readrecentfiles(recentfilesstore()), std::vector<std::string>{dir.file("b.dv3")});
}

TEST_F(RecentFilesTest, ADamagedStoreIsReadOnlyAsFarAsPathsGoAndLongNamesAreShortened)
{
    const std::string store = recentfilesstore();
    std::filesystem::create_directories(std::filesystem::path(store).parent_path());
    const std::string longname = dir.file(std::string(200, 'n') + ".dv3");
    testing::writetext(longname, "");
    // One endless line first: it names no file, and the paths after it are
    // beyond what is read.
    testing::writetext(store, longname + "\n" + std::string(50u << 20, 'x') + "\n" + dir.file("after.dv3") + "\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readrecentfiles(store), std::vector<std::string>{longname});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

    paused([&] {
        ASSERT_EQ(listed().size(), 1u);
        EXPECT_EQ(listed()[0], "1  " + std::string(24, 'n') + "\u2026" + std::string(20, 'n') + ".dv3");
    });
}

TEST_F(RecentFilesTest, AFolderOrAPipeByTheNameIsToldFromAFileThatHasGone)
{
    const struct {
        const char* name;
        const char* said;
    } cases[] = {
        {"folder.dv3", "is now a folder, not a file"},
        {"pipe.dv3", "is now a named pipe, not a file"},
        {"gone.dv3", "no longer exists"},
    };
    for (const auto& c : cases) {
        paused([&] {
            saveparameters(dir.file(c.name), 1.25);
            std::filesystem::remove(dir.file(c.name));
            if (std::string(c.name) == "folder.dv3") {
                std::filesystem::create_directory(dir.file(c.name));
            } else if (std::string(c.name) == "pipe.dv3") {
                ASSERT_EQ(::mkfifo(dir.file(c.name).c_str(), 0600), 0);
            }
            headless().messageboxes.clear();
            command(cmdrecentfile);
            ASSERT_EQ(headless().messageboxes.size(), 1u);
            EXPECT_NE(headless().messageboxes[0].text.find(c.said), std::string::npos)
                << headless().messageboxes[0].text;
            EXPECT_TRUE(listed().empty()) << c.name;
        });
        freshdesktop();
    }
}

TEST(RecentFiles, KeepTheNewestEightEachOnce)
{
    std::vector<std::string> list;
    for (int k = 0; k < 12; ++k)
        list = withrecentfile(list, std::to_string(k % 10));
    EXPECT_EQ(list, (std::vector<std::string>{"1", "0", "9", "8", "7", "6", "5", "4"}));
}

} // namespace
} // namespace kt
