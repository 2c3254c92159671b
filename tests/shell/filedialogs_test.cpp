#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>

#include "shell/filedialogs.h"
#include "engine/filenames.h"
#include "support/shell/desktopstatefixture.h"
#include "support/base/tempdir.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class FileDialogsTest : public testing::DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        InitOpenFile(desktop->filedialogs, desktop->filenames);
    }
    std::string cwd()
    {
        char buffer[PATH_MAX];
        return ::getcwd(buffer, sizeof buffer);
    }
};

TEST_F(FileDialogsTest, FourDialogsWithTheirFiltersTitlesAndStartNames)
{
    EXPECT_EQ(desktop->filenames.tgafile, cwd() + "/*.tga");
    EXPECT_EQ(desktop->filenames.odv3file, cwd() + "/*.dv3");
    EXPECT_EQ(desktop->filenames.sdv3file, cwd() + "/*.dv3");
    EXPECT_EQ(desktop->filenames.file, "");

    const OPENFILENAMEA& open = desktop->filedialogs.odv3n;
    EXPECT_EQ(open.lStructSize, 76u);
    EXPECT_EQ(open.Flags, 0x81804u);
    EXPECT_EQ(desktop->filedialogs.sdv3n.Flags, 0x80806u);
    EXPECT_EQ(desktop->filedialogs.stgan.Flags, 0x80806u);
    EXPECT_EQ(desktop->filedialogs.ofn.Flags, 0x81804u);
    EXPECT_STREQ(open.lpstrTitle, "Select an DV3 / DV parameter file:");
    EXPECT_STREQ(desktop->filedialogs.ofn.lpstrTitle, "Select a Fractint .MAP File");
    EXPECT_STREQ(desktop->filedialogs.stgan.lpstrTitle, "Select a file for saving your image:");
    EXPECT_STREQ(desktop->filedialogs.sdv3n.lpstrTitle, "Select a file for saving parameters:");
    EXPECT_STREQ(desktop->filedialogs.stgan.lpstrDefExt, "tga");
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(splitfilters(open.lpstrFilter), (Pairs{{"DV3 files (*.dv3)", "*.dv3"}, {"DV files (*.dv)", "*.dv"}}));
    EXPECT_EQ(splitfilters(desktop->filedialogs.ofn.lpstrFilter), (Pairs{{"Fractint .map files (*.map)", "*.map"}}));
    EXPECT_EQ(splitfilters(desktop->filedialogs.stgan.lpstrFilter),
              (Pairs{{"Targa image (*.tga)", "*.tga"}, {"PNG image (*.png)", "*.png"}}));
}

TEST_F(FileDialogsTest, SaveDialogAddsTheExtensionAndFillsBothBuffers)
{
    testing::TempDir dir;
    headless().fileanswers.push_back(dir.file("star"));
    ASSERT_TRUE(GetSaveFileNameA(&desktop->filedialogs.stgan));
    EXPECT_EQ(desktop->filenames.tgafile, dir.file("star.tga"));
    EXPECT_EQ(desktop->filenames.tgafiletitle, "star.tga");
    ASSERT_EQ(headless().filedialogs.size(), 1u);
    const FileDialogRequest& shown = headless().filedialogs[0];
    EXPECT_TRUE(shown.save);
    EXPECT_EQ(shown.initialPath, cwd() + "/*.tga") << "the first save dialog starts in the start-up folder";
    EXPECT_EQ(shown.defaultExtension, "tga");

    // A name whose extension the dialog does not write gets one it does, so
    // that the file is what its name says and reads back.
    const struct {
        OPENFILENAMEA* dialog;
        const char* typed;
        const char* saved;
    } names[] = {
        {&desktop->filedialogs.sdv3n, "z.dv", "z.dv.dv3"},         {&desktop->filedialogs.sdv3n, "z.DV3", "z.DV3"},
        {&desktop->filedialogs.stgan, "pic.jpeg", "pic.jpeg.tga"}, {&desktop->filedialogs.stgan, "pic.PNG", "pic.PNG"},
        {&desktop->filedialogs.stgan, "pic.tga", "pic.tga"},
    };
    for (const auto& c : names) {
        headless().fileanswers.push_back(dir.file(c.typed));
        ASSERT_TRUE(GetSaveFileNameA(c.dialog)) << c.typed;
        EXPECT_EQ(*c.dialog->lpstrFile, dir.file(c.saved)) << c.typed;
    }
    headless().fileanswers.push_back(dir.file("star.tga"));
    ASSERT_TRUE(GetSaveFileNameA(&desktop->filedialogs.stgan));

    headless().fileanswers.push_back(std::nullopt);
    EXPECT_FALSE(GetSaveFileNameA(&desktop->filedialogs.stgan));
    EXPECT_EQ(desktop->filenames.tgafile, dir.file("star.tga")) << "Cancel leaves the buffers";
    EXPECT_EQ(headless().filedialogs.back().initialPath, dir.file("star.tga"))
        << "and the dialog reopens on the last choice";
}

TEST_F(FileDialogsTest, OpenDialogsRefuseMissingFilesAndOverlongPaths)
{
    testing::TempDir dir;
    headless().fileanswers.push_back(dir.file("absent.dv3"));
    EXPECT_FALSE(GetOpenFileNameA(&desktop->filedialogs.odv3n));
    EXPECT_EQ(desktop->filenames.odv3file, cwd() + "/*.dv3");

    testing::writebytes(dir.file("set.dv"), {0});
    headless().fileanswers.push_back(dir.file("set.dv"));
    ASSERT_TRUE(GetOpenFileNameA(&desktop->filedialogs.odv3n));
    EXPECT_EQ(desktop->filenames.odv3filetitle, "set.dv");

    headless().fileanswers.push_back(dir.file("missing/folder/x.dv3"));
    EXPECT_FALSE(GetSaveFileNameA(&desktop->filedialogs.sdv3n)) << "the path must exist";
    headless().fileanswers.push_back(dir.file(std::string(300, 'n')));
    EXPECT_FALSE(GetSaveFileNameA(&desktop->filedialogs.sdv3n)) << "no path the buffers cannot hold";
}

} // namespace
} // namespace kt
