#include <gtest/gtest.h>

#include <string>

#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "image/mapfile.h"
#include "support/base/tempdir.h"

namespace kt {
namespace {

class MapFileTest : public ::testing::Test {
protected:
    MapFileTest() { paltemp.fill(77); }
    int read(const std::string& path) { return OpenMapFile(path, paltemp); }
    int readtext(const std::string& text)
    {
        const std::string path = dir.file("test.map");
        testing::writetext(path, text);
        return read(path);
    }
    COLORREF entry(int k) const { return palettecolour(paltemp, static_cast<unsigned>(k)); }
    static std::string testdata(const char* name) { return std::string(KT_TESTDATA_DIR) + "/maps/" + name; }

    testing::TempDir dir;
    EngineState engine;
    Palette paltemp{};
};

TEST_F(MapFileTest, SixteenLineFileIsPaddedWithOnes)
{
    ASSERT_EQ(read(testdata("vga16.map")), 0);
    EXPECT_EQ(entry(0), RGB(0, 0, 0));
    EXPECT_EQ(entry(1), RGB(0, 0, 168));
    EXPECT_EQ(entry(4), RGB(168, 0, 0));
    for (int k = 16; k < 256; ++k)
        ASSERT_EQ(entry(k), RGB(1, 1, 1)) << k;
    EXPECT_EQ(engine.palette, defpal1) << "reading never changes the current palette";
}

TEST_F(MapFileTest, LinesAfterThe256thAreIgnored)
{
    ASSERT_EQ(read(testdata("vga260.map")), 0);
    EXPECT_EQ(entry(0), RGB(0, 0, 0)) << "the comment after three numbers is ignored";
    EXPECT_EQ(entry(2), RGB(0, 168, 0));
}

TEST_F(MapFileTest, FireStormReadsWithLeadingBlanks)
{
    ASSERT_EQ(read(testdata("firestrm.map")), 0);
    EXPECT_EQ(entry(1), RGB(144, 10, 229));
    EXPECT_EQ(entry(4), RGB(153, 6, 223));
}

TEST_F(MapFileTest, NumbersKeepTheirLowEightBits)
{
    ASSERT_EQ(readtext("300 -1 7\n255 128 0 orange\n"), 0);
    EXPECT_EQ(entry(0), RGB(44, 255, 7));
    EXPECT_EQ(entry(1), RGB(255, 128, 0));
    EXPECT_EQ(entry(2), RGB(1, 1, 1));
}

TEST_F(MapFileTest, EmptyFileIsAllOnes)
{
    ASSERT_EQ(readtext(""), 0);
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ(entry(k), RGB(1, 1, 1));
}

TEST_F(MapFileTest, AnInvalidLineRefusesTheFileButKeepsEarlierEntries)
{
    EXPECT_EQ(readtext("1 2 3\n\n4 5 6\n"), 1);
    EXPECT_EQ(entry(0), RGB(1, 2, 3));
    EXPECT_EQ(entry(1), RGB(77, 77, 77)) << "the bad line stored nothing";
    EXPECT_EQ(readtext("1 2 3\n4 5\n"), 1);
    EXPECT_EQ(readtext("; comment\n1 2 3\n"), 1);
}

TEST_F(MapFileTest, A257thLineMayBeAnything)
{
    std::string text;
    for (int k = 0; k < 256; ++k)
        text += std::to_string(k) + " 0 0\n";
    ASSERT_EQ(readtext(text + "not a colour\n"), 0);
    EXPECT_EQ(entry(255), RGB(255, 0, 0));
}

TEST_F(MapFileTest, LongLinesAreReadInPiecesOf99Characters)
{
    // 99 characters of the first line, then the rest arrives as a line of its own.
    const std::string first = "1 2 3" + std::string(94, ' ');
    ASSERT_EQ(first.size(), 99u);
    ASSERT_EQ(readtext(first + "4 5 6\n7 8 9\n"), 0);
    EXPECT_EQ(entry(0), RGB(1, 2, 3));
    EXPECT_EQ(entry(1), RGB(4, 5, 6));
    EXPECT_EQ(entry(2), RGB(7, 8, 9));
}

TEST_F(MapFileTest, MissingFilesAndFoldersAreRefused)
{
    EXPECT_EQ(read(dir.file("absent.map")), 1);
    EXPECT_EQ(read(dir.path().string()), 1);
    EXPECT_EQ(entry(0), RGB(77, 77, 77));
}

TEST_F(MapFileTest, HugeNumbersDoNotMisbehave)
{
    ASSERT_EQ(readtext("99999999999999999999999 -99999999999999999999999 256\n"), 0);
    EXPECT_EQ(entry(0), RGB(255, 0, 0));
}

} // namespace
} // namespace kt
