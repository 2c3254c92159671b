#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "shell/recentfiles.h"
#include "support/shell/programfixture.h"
#include "support/base/tempdir.h"
#include "parts/programparts.h"

namespace kt {
namespace {

class RecentFilesTest : public testing::ProgramTest {
protected:
    // The texts of the File menu's items after Exit.
    static std::vector<std::string> listed()
    {
        std::vector<std::string> texts;
        for (const MenuItem& item : GetSubMenu(GetMenu(mainwindow()), 0)->items)
            if (item.id >= cmdrecentfile)
                texts.push_back(item.text);
        return texts;
    }

    static void saveparameters(const std::string& path, double scale)
    {
        engine.icon[0].scale = scale;
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
    testing::resetprogram(); // a restart: the configuration folder stays

    paused([&] {
        EXPECT_EQ(listed(), (std::vector<std::string>{"1  a.dv3", "2  b.dv3"})) << "kept across runs";
        std::filesystem::remove(dir.file("a.dv3"));
        headless().messageboxes.clear();
        command(cmdrecentfile);
        ASSERT_EQ(headless().messageboxes.size(), 1u);
        EXPECT_NE(headless().messageboxes[0].text.find("no longer exists"), std::string::npos);
        EXPECT_EQ(listed(), (std::vector<std::string>{"1  b.dv3"}));
        EXPECT_EQ(engine.okicon, 0) << "nothing loaded";

        command(cmdrecentfile);
        EXPECT_EQ(engine.icon[0].scale, 1.5);
        EXPECT_EQ(engine.okicon, 1) << "the file loaded renders";
        press('R');
        settle();
    });
    EXPECT_EQ(readrecentfiles(recentfilesstore()), std::vector<std::string>{dir.file("b.dv3")});
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
