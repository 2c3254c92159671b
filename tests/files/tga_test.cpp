#include <gtest/gtest.h>

#include <cstring>

#include "files/tga.h"
#include "support/engine/recordingpresentation.h"
#include "support/files/filesfixture.h"
#include "support/base/tempdir.h"

namespace kt {
namespace {

class TgaTest : public testing::FilesTest {
protected:
    TgaTest()
    {
        useimage(200);
        image->fill(RECT{0, 0, 200, 200}, engine.back);
        filenames.tgafile = dir.file("picture.tga");
    }
    testing::TempDir dir;
};

TEST_F(TgaTest, LayoutOfA200PixelImage)
{
    image->setpixel(0, 0, RGB(1, 2, 3));
    image->setpixel(199, 199, RGB(4, 5, 6));
    ASSERT_EQ(writetga(ctx, image.get(), engine.res, filenames.tgafile), savedone);
    const auto bytes = testing::readbytes(filenames.tgafile);
    ASSERT_EQ(bytes.size(), 120044u);
    const std::uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC8, 0, 0xC8, 0, 0x18, 0x20};
    EXPECT_EQ(std::memcmp(bytes.data(), header, 18), 0);
    // Top-left first, blue green red; bottom-right last before the footer.
    EXPECT_EQ(bytes[18], 3);
    EXPECT_EQ(bytes[19], 2);
    EXPECT_EQ(bytes[20], 1);
    EXPECT_EQ(bytes[21], 0xE6) << "the default background";
    EXPECT_EQ(bytes[22], 0xF5);
    EXPECT_EQ(bytes[23], 0xFF);
    const std::size_t last = 18 + 3 * 200 * 200 - 3;
    EXPECT_EQ(bytes[last], 6);
    EXPECT_EQ(bytes[last + 2], 4);
    const std::uint8_t footer[26] = {0,   0,   0,   0,   0,   0,   0,   0,   'T', 'R', 'U', 'E', 'V',
                                     'I', 'S', 'I', 'O', 'N', '-', 'X', 'F', 'I', 'L', 'E', '.', 0};
    EXPECT_EQ(std::memcmp(bytes.data() + bytes.size() - 26, footer, 26), 0);
}

TEST_F(TgaTest, ReplacesALargerFileWhole)
{
    testing::writebytes(filenames.tgafile, std::vector<std::uint8_t>(500000, 0xAB));
    ASSERT_EQ(writetga(ctx, image.get(), engine.res, filenames.tgafile), savedone);
    EXPECT_EQ(testing::readbytes(filenames.tgafile).size(), 120044u);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST_F(TgaTest, MissingFolderCannotBeOpened)
{
    filenames.tgafile = dir.file("absent/picture.tga");
    EXPECT_EQ(writetga(ctx, image.get(), engine.res, filenames.tgafile), saveopenfailed);
    EXPECT_STREQ(saveerror[saveopenfailed - 1], "Error opening a save file.");
}

TEST_F(TgaTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    const std::vector<std::uint8_t> old(1000, 0x5A);
    testing::writebytes(filenames.tgafile, old);
    testing::RecordingPresentation shown;
    ctx.showon(shown);

    for (long long failAt : {0LL, 10LL, 18LL + 3 * 200 * 50, 18LL + 3 * 200 * 200 + 5}) {
        AtomicFile::injectwritefailure(failAt);
        EXPECT_EQ(writetga(ctx, image.get(), engine.res, filenames.tgafile), savewritefailed)
            << "failing after " << failAt << " bytes";
        EXPECT_EQ(testing::readbytes(filenames.tgafile), old);
        EXPECT_EQ(dir.entries().size(), 1u);
        EXPECT_EQ(shown.writesended, shown.writesbegun) << "the user may go on after a failed write";
    }
    EXPECT_GT(shown.writesbegun, 0);
    AtomicFile::injectwritefailure(-1);
}

TEST_F(TgaTest, NoMemoryForTheLineBuffer)
{
    const std::vector<std::uint8_t> old(10, 1);
    testing::writebytes(filenames.tgafile, old);
    injectallocationfailures(1);
    EXPECT_EQ(writetga(ctx, image.get(), engine.res, filenames.tgafile), savenomemory);
    EXPECT_EQ(testing::readbytes(filenames.tgafile), old);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST_F(TgaTest, KeepsTheReplacedFilesPermissions)
{
    testing::writebytes(filenames.tgafile, {1});
    std::filesystem::permissions(filenames.tgafile,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_read);
    ASSERT_EQ(writetga(ctx, image.get(), engine.res, filenames.tgafile), savedone);
    EXPECT_EQ(std::filesystem::status(filenames.tgafile).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

} // namespace
} // namespace kt
