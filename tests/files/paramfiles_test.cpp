#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

#include "files/paramfiles.h"
#include "files/saveerrors.h"
#include "support/files/filesfixture.h"
#include "support/base/tempdir.h"

namespace kt {
namespace {

class ParamFileTest : public testing::FilesTest {
protected:
    std::string save(const std::string& name)
    {
        filenames.sdv3file = dir.file(name);
        EXPECT_EQ(writedv3(ctx, engine, filenames, 0), savedone);
        return filenames.sdv3file;
    }
    int load(const std::string& path)
    {
        filenames.odv3file = path;
        return loaddv3(engine, filenames.odv3file);
    }
    static bool same(const ICON& a, const ICON& b) { return std::memcmp(&a, &b, sizeof(ICON)) == 0; }
    static bool same(const VOXEL& a, const VOXEL& b)
    {
        return std::memcmp(&a.x, &b.x, 10) == 0 && std::memcmp(&a.y, &b.y, 10) == 0 && std::memcmp(&a.z, &b.z, 10) == 0;
    }

    // A DV record as the older program wrote it.
    static std::vector<std::uint8_t> dvrecord(std::int32_t type, const ICON& set, double f)
    {
        std::vector<std::uint8_t> bytes(dvsize);
        auto put = [&](std::size_t at, const auto& v) { std::memcpy(bytes.data() + at, &v, sizeof v); };
        put(0, type);
        put(4, set.a);
        put(12, set.b);
        put(20, set.c);
        put(28, set.d);
        put(36, set.e);
        put(44, f);
        put(52, set.n);
        put(56, set.p);
        put(60, set.scale);
        put(68, set.xstart);
        put(76, set.ystart);
        put(84, RGB(10, 20, 30));
        put(88, 10);
        put(92, 20);
        put(96, 30);
        return bytes;
    }

    // Everything a load may change, to check that a refusal changed nothing.
    struct Snapshot {
        int type;
        ICON icon[2];
        VOXEL rot[2];
        COLORREF back;
        int red, green, blue;
    };
    Snapshot snapshot() const
    {
        const EngineState& s = engine;
        return {s.type, {s.icon[0], s.icon[1]}, {s.rot[0], s.rot[1]}, s.back, s.red, s.green, s.blue};
    }
    void expectunchanged(const Snapshot& before) const
    {
        const Snapshot now = snapshot();
        EXPECT_EQ(before.type, now.type);
        for (int k = 0; k < 2; ++k) {
            EXPECT_TRUE(same(before.icon[k], now.icon[k])) << "icon " << k;
            EXPECT_TRUE(same(before.rot[k], now.rot[k])) << "rot " << k;
        }
        EXPECT_EQ(before.back, now.back);
        EXPECT_EQ(before.red, now.red);
        EXPECT_EQ(before.green, now.green);
        EXPECT_EQ(before.blue, now.blue);
    }

    testing::TempDir dir;
};

TEST_F(ParamFileTest, DefaultSetBytes)
{
    const auto bytes = testing::readbytes(save("a.dv3"));
    ASSERT_EQ(bytes.size(), 130u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    const std::uint8_t colours[16] = {0xFF, 0xF5, 0xE6, 0, 0xFF, 0, 0, 0, 0xF5, 0, 0, 0, 0xE6, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data() + 84, colours, 16), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 4, &builtinicon1, 80), 0) << "bytes 4-83 are the ICON record";
    EXPECT_EQ(filenames.sdv3filetitle, "a.dv3");

    engine.type = 1;
    EXPECT_EQ(testing::readbytes(save("b.dv3"))[0], 1);
}

TEST_F(ParamFileTest, NinetyDegreesAsTenBytes)
{
    engine.rot[0] = VOXEL{90, 0, 0};
    const auto bytes = testing::readbytes(save("r.dv3"));
    const std::uint8_t ninety[10] = {0, 0, 0, 0, 0, 0, 0, 0xB4, 0x05, 0x40};
    EXPECT_EQ(std::memcmp(bytes.data() + 100, ninety, 10), 0);
}

TEST_F(ParamFileTest, RoundTripIsBitExact)
{
    engine.type = 1;
    engine.icon[1] = ICON{0.1234567890123,
                          -std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -0.0,
                          1e-300,
                          60,
                          30,
                          4.75,
                          -0.5,
                          0.25,
                          1e10};
    engine.rot[1] = VOXEL{1.0L / 3, 359.999999999999999L, 0};
    engine.back = RGB(1, 2, 3);
    engine.red = 1;
    engine.green = 2;
    engine.blue = 3;
    const std::string path = save("round.dv3");
    const Snapshot saved = snapshot();

    engine = EngineState{};
    ASSERT_EQ(load(path), loaddone);
    expectunchanged(saved);
}

TEST_F(ParamFileTest, LoadingIcons2KeepsIcons1)
{
    engine.type = 1;
    engine.rot[1] = VOXEL{5, 6, 7};
    const std::string path = save("two.dv3");
    engine = EngineState{};
    engine.rot[0] = VOXEL{1, 2, 3};
    engine.icon[0].a = 0.5;
    ASSERT_EQ(load(path), loaddone);
    EXPECT_EQ(engine.type, 1);
    EXPECT_EQ(engine.icon[0].a, 0.5);
    EXPECT_EQ(engine.rot[0].z, 3);
    EXPECT_EQ(engine.rot[1].z, 7);
}

TEST_F(ParamFileTest, DvFilesReadTheTwoDimensionalRecord)
{
    ICON set = builtinicon1;
    set.a = -1.5;
    set.n = 7;
    const std::string path = dir.file("old.dv");
    testing::writebytes(path, dvrecord(0, set, 123.0));
    engine.rot[0] = VOXEL{4, 5, 6};
    engine.icon[0].zstart = 42;
    ASSERT_EQ(load(path), loaddone);
    EXPECT_EQ(engine.icon[0].a, -1.5);
    EXPECT_EQ(engine.icon[0].n, 7);
    EXPECT_EQ(engine.icon[0].ystart, builtinicon1.ystart);
    EXPECT_EQ(engine.icon[0].zstart, 0.1);
    EXPECT_TRUE(same(engine.rot[0], VOXEL{0, 0, 0}));
    EXPECT_EQ(engine.back, RGB(10, 20, 30));
    EXPECT_EQ(engine.green, 20);

    // Only the last character decides the format.
    const std::string dat = dir.file("old.dat");
    testing::writebytes(dat, dvrecord(1, builtinicon2, 0));
    ASSERT_EQ(load(dat), loaddone);
    EXPECT_EQ(engine.type, 1);
}

TEST_F(ParamFileTest, OtherFormulasAreRefused)
{
    const Snapshot before = snapshot();
    const std::string dv = dir.file("quilt.dv");
    testing::writebytes(dv, dvrecord(2, builtinicon1, 0));
    EXPECT_EQ(load(dv), loadwrongformula);
    EXPECT_EQ(loaderror(loadwrongformula, dv).text, "DV parameter set must be for\n   Icons 1 or Icons 2 formulae.");
    EXPECT_EQ(loaderror(loadwrongformula, dv).title, "DV file error");

    auto bytes = testing::readbytes(save("x.dv3"));
    bytes[0] = 5;
    const std::string dv3 = dir.file("five.dv3");
    testing::writebytes(dv3, bytes);
    EXPECT_EQ(load(dv3), loadwrongformula);
    bytes[0] = 0xFF;
    bytes[1] = bytes[2] = bytes[3] = 0xFF;
    testing::writebytes(dv3, bytes);
    EXPECT_EQ(load(dv3), loadwrongformula);
    expectunchanged(before);
}

TEST_F(ParamFileTest, ShortFilesAreRefused)
{
    const Snapshot before = snapshot();
    const auto full = testing::readbytes(save("full.dv3"));
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{129}}) {
        const std::string path = dir.file("short.dv3");
        testing::writebytes(path, std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<long>(size)));
        EXPECT_EQ(load(path), loadtooshort) << size << " bytes";
    }
    const std::string dv = dir.file("short.dv");
    auto record = dvrecord(0, builtinicon1, 0);
    record.pop_back();
    testing::writebytes(dv, record);
    EXPECT_EQ(load(dv), loadtooshort);
    EXPECT_FALSE(loaderror(loadtooshort, dv).text.empty());
    expectunchanged(before);
}

TEST_F(ParamFileTest, UnboundedDegreesAreRefused)
{
    const Snapshot before = snapshot();
    auto bytes = testing::readbytes(save("n.dv3"));
    const std::string path = dir.file("huge.dv3");
    const struct {
        std::int32_t n, p;
        bool accepted;
    } table[] = {
        {2000000000, 0, false}, {60, 30, true},    {1000, 10, true}, {1001, 0, false},  {-1000, -10, true},
        {-1000, -11, false},    {100, 101, false}, {0, 10000, true}, {0, 10001, false},
    };
    for (const auto& row : table) {
        std::memcpy(bytes.data() + 44, &row.n, 4);
        std::memcpy(bytes.data() + 48, &row.p, 4);
        testing::writebytes(path, bytes);
        EXPECT_EQ(load(path), row.accepted ? loaddone : loadunbounded) << row.n << " " << row.p;
    }
    engine = EngineState{};
    std::int32_t n = 2000000000;
    std::memcpy(bytes.data() + 44, &n, 4);
    testing::writebytes(path, bytes);
    EXPECT_EQ(load(path), loadunbounded);
    expectunchanged(before);
    EXPECT_NE(loaderror(loadunbounded, path).text.find("1000"), std::string::npos);
}

TEST_F(ParamFileTest, AScaleThatIsNotAPositiveNumberIsRefused)
{
    const auto dv3 = testing::readbytes(save("scale.dv3"));
    const auto dv = dvrecord(0, builtinicon1, 0);
    const struct {
        double scale;
        bool accepted;
    } table[] = {
        {0, false},
        {-0.0, false},
        {-1, false},
        {std::numeric_limits<double>::quiet_NaN(), false},
        {std::numeric_limits<double>::infinity(), false},
        {1e-300, true},
        {1.5, true},
    };
    // The scale of a .dv3's set, and of a .dv's.
    for (const auto& [file, bytes, offset] : {std::tuple{"scale.dv3", dv3, 52}, std::tuple{"scale.dv", dv, 60}})
        for (const auto& row : table) {
            auto edited = bytes;
            std::memcpy(edited.data() + offset, &row.scale, 8);
            const std::string path = dir.file(file);
            testing::writebytes(path, edited);
            const Snapshot before = snapshot();
            EXPECT_EQ(load(path), row.accepted ? loaddone : loadbadscale) << file << " " << row.scale;
            if (!row.accepted)
                expectunchanged(before);
        }
    EXPECT_EQ(loaderror(loadbadscale, "x.dv3").text, "The parameter set's scale must be\n   a positive number.");
}

TEST_F(ParamFileTest, AnglesOutsideTheRotationsRangeOrOddlyEncodedAreRefused)
{
    auto bytes = testing::readbytes(save("angles.dv3"));
    const std::string path = dir.file("angles.dv3");
    // The 80-bit encoding: 64 significand bits (the top one the integer
    // bit), then the sign and a 15-bit exponent biased by 16383.
    const auto encoded = [](std::uint64_t significand, std::uint16_t signandexponent) {
        std::array<std::uint8_t, 10> angle{};
        std::memcpy(angle.data(), &significand, 8);
        std::memcpy(angle.data() + 8, &signandexponent, 2);
        return angle;
    };
    const auto number = [](real value) {
        std::array<std::uint8_t, 10> angle{};
        std::memcpy(angle.data(), &value, 10);
        return angle;
    };
    const struct {
        const char* what;
        std::array<std::uint8_t, 10> angle;
        bool accepted;
    } table[] = {
        {"0", number(0), true},
        {"360", number(360), true},
        {"30.5", number(30.5L), true},
        {"-0", number(-0.0L), true},
        {"-1e-9", number(-1e-9L), false},
        {"just past 360", number(nextafterl(360, 400)), false},
        {"NaN", number(std::numeric_limits<real>::quiet_NaN()), false},
        {"infinity", number(std::numeric_limits<real>::infinity()), false},
        {"minus infinity", number(-std::numeric_limits<real>::infinity()), false},
        {"largest", number(std::numeric_limits<real>::max()), false},
        {"unnormal 2", encoded(0, 0x4000), false},
        {"pseudo-denormal", encoded(std::uint64_t{1} << 63, 0), false},
        {"pseudo-infinity", encoded(0, 0x7FFF), false},
    };
    for (std::size_t field = 0; field < 3; ++field)
        for (const auto& row : table) {
            auto edited = bytes;
            std::copy(row.angle.begin(), row.angle.end(), edited.begin() + 100 + 10 * field);
            testing::writebytes(path, edited);
            const Snapshot before = snapshot();
            EXPECT_EQ(load(path), row.accepted ? loaddone : loadbadangle) << row.what << " in field " << field;
            if (!row.accepted)
                expectunchanged(before);
        }
    EXPECT_EQ(loaderror(loadbadangle, path).text,
              "The parameter set's rotation angles must be\n   numbers from 0 to 360 degrees.");
}

TEST_F(ParamFileTest, MissingFileCannotBeOpened)
{
    EXPECT_EQ(load(dir.file("absent.dv3")), loadopenfailed);
    EXPECT_EQ(load(dir.path().string() + "/"), loadopenfailed);
    EXPECT_EQ(loaderror(loadopenfailed, "x.dv").text, "Error opening DV3 file");
    EXPECT_EQ(loaderror(loadopenfailed, "x.dv").title, "DV3 file error");
}

TEST_F(ParamFileTest, ParametersBesideTheImage)
{
    filenames.tgafile = dir.file("a.tga");
    ASSERT_EQ(writedv3(ctx, engine, filenames, 1), savedone);
    EXPECT_EQ(filenames.sdv3file, dir.file("a.dv3"));
    EXPECT_EQ(filenames.sdv3filetitle, "a.dv3");
    filenames.tgafile = dir.file("a.tiff");
    ASSERT_EQ(writedv3(ctx, engine, filenames, 1), savedone);
    EXPECT_EQ(filenames.sdv3filetitle, "a.tdv3");
}

TEST_F(ParamFileTest, FailedSaveKeepsTheOldFile)
{
    const std::string path = save("keep.dv3");
    const auto old = testing::readbytes(path);
    engine.icon[0].a = 3;
    for (long long failAt : {0LL, 64LL, 129LL}) {
        AtomicFile::injectwritefailure(failAt);
        EXPECT_EQ(writedv3(ctx, engine, filenames, 0), savewritefailed);
        EXPECT_EQ(testing::readbytes(path), old);
        EXPECT_EQ(dir.entries().size(), 1u);
    }
    AtomicFile::injectwritefailure(-1);
    filenames.sdv3file = dir.file("none/keep.dv3");
    EXPECT_EQ(writedv3(ctx, engine, filenames, 0), saveopenfailed);
    filenames.sdv3file = dir.path().string();
    EXPECT_EQ(writedv3(ctx, engine, filenames, 0), saveopenfailed) << "a folder is not replaced";
}

TEST(BareTitle, IsWhatFollowsTheLastSlash)
{
    EXPECT_EQ(baretitle("/home/me/star.dv3"), "star.dv3");
    EXPECT_EQ(baretitle("star.dv3"), "star.dv3");
    EXPECT_EQ(baretitle("C:\\pics\\star.dv3"), "C:\\pics\\star.dv3");
    EXPECT_EQ(baretitle("/dir/"), "");
}

} // namespace
} // namespace kt
