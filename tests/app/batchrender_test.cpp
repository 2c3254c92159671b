#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>

#include "app/render/still/batchrender.h"
#include "base/memory.h"
#include "engine/driver.h"
#include "files/atomicfile.h"
#include "files/paramfiles.h"
#include "files/saveerrors.h"
#include "image/filters.h"
#include "support/render/batchrenderfixture.h"
#include "support/base/tempdir.h"
#include "support/base/unprivileged.h"

namespace kt {
namespace {

class BatchRenderTest : public testing::BatchRenderFixture {
protected:
    // Whether a TGA file the renderer wrote holds exactly the surface's pixels.
    static ::testing::AssertionResult samepicture(const std::vector<std::uint8_t>& tga, const Surface& picture)
    {
        const int side = picture.width();
        if (tga.size() != 44u + 3u * side * side)
            return ::testing::AssertionFailure() << "a TGA file of " << tga.size() << " bytes";
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const std::uint8_t* p = &tga[18 + 3 * (y * side + x)];
                if (RGB(p[2], p[1], p[0]) != picture.getpixel(x, y))
                    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
            }
        return ::testing::AssertionSuccess();
    }

    std::vector<std::uint8_t> render(std::vector<std::string> args, const std::string& name)
    {
        args.insert(args.end(), {"--quiet", "-o", dir.file(name)});
        EXPECT_EQ(run(args), 0) << err.str();
        return testing::readbytes(dir.file(name));
    }

    testing::TempDir dir;
};

TEST_F(BatchRenderTest, ImageIsTheEnginesPictureAndTheSameOnEveryRun)
{
    const auto first = render({"--size", "200", "--iterations", "20500"}, "a.tga");
    const auto second = render({"--size", "200", "--iterations", "20500"}, "b.tga");
    ASSERT_EQ(first.size(), 44u + 3 * 200 * 200);
    EXPECT_EQ(first, second);

    // 20,500 steps are 21 batches, the first one unplotted.
    Surface picture(200, 200);
    EngineState engine;
    engine.res = 200;
    engine.g_vhdc = &picture;
    for (int k = 0; k < 21; ++k)
        imagebatch(ctx, engine);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const std::uint8_t* p = &first[18 + 3 * (y * 200 + x)];
            ASSERT_EQ(RGB(p[2], p[1], p[0]), picture.getpixel(x, y)) << x << "," << y;
        }
}

TEST_F(BatchRenderTest, SavedParametersRenderTheSamePicture)
{
    const auto direct = render({"--formula", "2", "--size", "200", "--iterations", "30k", "--rotate", "10,20,30.5",
                                "--order", "YZX", "--background", "0,0,64", "--save-params", dir.file("set.dv3")},
                               "direct.tga");
    const auto reloaded = render({"--size", "200", "--iterations", "30k", "--order", "YZX", dir.file("set.dv3")},
                                 "reloaded.tga");
    EXPECT_EQ(direct, reloaded);
    EXPECT_EQ(testing::readbytes(dir.file("set.dv3"))[0], 1);
}

TEST_F(BatchRenderTest, ScreenReportsTheSetAndItsMeasures)
{
    ASSERT_EQ(run({"--screen"}), 0);
    const std::string report = out.str();
    EXPECT_EQ(report.rfind("formula: 1\nalpha: -2.290000000000000\nbeta: -1.430000000000000\n"
                           "gamma: 0.300000000000000\nlambda: 2.350000000000000\nomega: 0.000000000000000\n"
                           "n: 11\np: 0\nscale: 1.000000000000000\nverdict: pass\nlyapunov exponent: 0.5",
                           0),
              0u)
        << report;
    EXPECT_NE(report.find("\nfractal dimension: 1.8"), std::string::npos);

    // A set that escapes: x' = 2x.
    EngineState escaping;
    escaping.icon[0] = ICON{0, 0, 0, 2, 0, 1, 0, 1, 0.5, 0.5, 0.1};
    ASSERT_EQ(writedv3(ctx, dir.file("escape.dv3"), dv3record(escaping)), savedone);
    ASSERT_EQ(run({"--screen", dir.file("escape.dv3")}), 0);
    EXPECT_NE(out.str().find("verdict: escape\nlyapunov exponent: none\nfractal dimension: none\n"), std::string::npos)
        << out.str();
}

TEST_F(BatchRenderTest, RandomSetsRepeatWithTheirSeed)
{
    const auto a = render({"--random", "--seed", "77", "--size", "200", "--iterations", "10k", "--formula", "2",
                           "--save-params", dir.file("a.dv3")},
                          "a.png");
    const auto b = render({"--random", "--seed", "77", "--size", "200", "--iterations", "10k", "--formula", "2"},
                          "b.png");
    EXPECT_EQ(a, b);
    ASSERT_EQ(run({"--screen", dir.file("a.dv3")}), 0);
    EXPECT_NE(out.str().find("verdict: pass"), std::string::npos);
    EXPECT_NE(out.str().find("scale: 1.000000000000000"), std::string::npos);
}

TEST_F(BatchRenderTest, RandomSearchFromAStartPointThatCannotPassEndsWithStatusTwo)
{
    for (double start : {-2.6e19, 1e8}) {
        ICON set = builtinicon1;
        set.xstart = set.ystart = start;
        const std::string path = dir.file("start.dv3");
        const auto bytes = encodedv3(DV3{0, set, defaultback, 255, 245, 230, 0, 0, 0});
        testing::writebytes(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        EXPECT_EQ(run({"--quiet", "--random", "--seed", "5", "-o", dir.file("r.tga"), path}), exitbadinput);
        EXPECT_NE(err.str().find(path + ": " + (start < 0 ? "The start point" : "None of")), std::string::npos)
            << err.str();
        EXPECT_FALSE(std::filesystem::exists(dir.file("r.tga")));
    }
}

TEST_F(BatchRenderTest, AFolderAsAPaletteOrParameterFileIsNamedAsOne)
{
    for (const char* option : {"--palette", ""}) {
        std::vector<std::string> args = {"--quiet", "-o", dir.file("f.tga")};
        if (*option)
            args.push_back(option);
        args.push_back(dir.path().string());
        EXPECT_EQ(run(args), exitbadinput);
        EXPECT_NE(err.str().find(dir.path().string() + ": Error opening "), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("(Is a directory)"), std::string::npos) << err.str();
    }
}

TEST_F(BatchRenderTest, AnImageFileTheUserMayNotWriteIsNotReplaced)
{
    const std::string path = dir.file("kept.tga");
    const std::vector<std::uint8_t> old(44, 9);
    testing::writebytes(path, old);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const int status = testing::asunprivileged([&] {
        const int code = run({"--quiet", "--size", "200", "--iterations", "1k", "-o", path});
        return code == exitcannotwrite && err.str().find(path + ": Error opening a save file.") != std::string::npos
            ? code
            : 100 + code;
    });
    EXPECT_EQ(status, exitcannotwrite);
    EXPECT_EQ(testing::readbytes(path), old);
}

TEST_F(BatchRenderTest, AHitCountBufferThatCannotBeHadEndsTheRunWithItsMessage)
{
    const std::string image = dir.file("never.png");
    injectallocationfailures(1);
    EXPECT_EQ(run({"--quiet", "--size", "200", "--iterations", "10k", "-o", image}), exitcannotwrite);
    EXPECT_EQ(err.str(),
              "ktdravune3d-render: Not enough memory to allocate hit count buffer. Free up more system "
              "memory, or set a smaller image resolution.\n");
    EXPECT_FALSE(std::filesystem::exists(image));
}

// A render this long would outlast the test if it came before the check.
TEST_F(BatchRenderTest, AnOutputThatCannotBeCreatedIsFoundBeforeRendering)
{
    const std::string kept = dir.file("kept.png");
    const Refusal cases[] = {
        {{"-o", "/proc/new.png"}, exitcannotwrite, "/proc/new.png: Error opening a save file."},
        {{"-o", kept, "--save-params", "/proc/new.dv3"}, exitcannotwrite, "/proc/new.dv3: Error opening a save file."},
        {{"--turntable", "2", "-o", "/proc/"}, exitcannotwrite, "/proc/frame-0001.png: Error opening a save file."},
        {{"--turntable", "2", "-o", dir.file("frames/"), "--save-params", "/proc/new.dv3"},
         exitcannotwrite,
         "/proc/new.dv3: Error opening a save file."},
    };
    for (const Refusal& c : cases) {
        std::vector<std::string> args = {"--quiet", "--size", "200", "--iterations", "2G"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        // A render that began would fail for memory instead, and say so.
        injectallocationfailures(1);
        expectrefused(args, c);
        injectallocationfailures(0);
        EXPECT_FALSE(std::filesystem::exists(kept)) << c.message;
    }
}

TEST_F(BatchRenderTest, AnOutputFolderThatIsNotOneIsNamedForWhatItIs)
{
    testing::writetext(dir.file("afile"), "mine");
    std::filesystem::create_symlink(dir.file("gone"), dir.file("dangling"));
    const std::string dangling = "a symbolic link to " + dir.file("gone") + ", which does not exist";
    const Refusal cases[] = {
        {{"--explore", "2", "-o", dir.file("afile")}, exitcannotwrite, "afile: cannot hold the gallery (not a folder)"},
        {{"--explore", "2", "-o", dir.file("dangling")},
         exitcannotwrite,
         "dangling: cannot hold the gallery (" + dangling + ")"},
        {{"--turntable", "2", "-o", dir.file("afile/")}, exitcannotwrite, "afile/: not a folder\n"},
        {{"--turntable", "2", "-o", dir.file("dangling/")}, exitcannotwrite, "dangling/: " + dangling + "\n"},
    };
    for (const Refusal& c : cases) {
        std::vector<std::string> args = {"--quiet", "--size", "200", "--iterations", "5k"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        expectrefused(args, c);
    }
    EXPECT_EQ(testing::readbytes(dir.file("afile")).size(), 4u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
}

// Shares that cannot make one picture say so, and write none of it; a
// share run again mends what was damaged.
TEST_F(BatchRenderTest, AStillInSharesIsRefusedOrJoinedOnlyAsOneRunWouldDrawIt)
{
    namespace fs = std::filesystem;
    const std::vector<std::string> look = {"--quiet", "--size", "200", "--orbits", "16", "--iterations", "100k"};
    const auto with = [](std::vector<std::string> args, const std::vector<std::string>& extra) {
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const std::string picture = dir.file("x.png"), parts = dir.file("x.png.parts");
    const Refusal usage[] = {
        {{"--size", "200", "--part", "1/2"}, exitbadarguments, "needs --orbits above 1"},
        {{"--orbits", "4", "--part", "1/5"}, exitbadarguments, "N may be at most the number of --orbits"},
        {{"--orbits", "4", "--tone", "depth", "--part", "1/2"}, exitbadarguments, "not with --tone depth"},
        {{"--orbits", "4", "--coloring", "z", "--part", "1/2"}, exitbadarguments, "needs hit colouring"},
        {{"--orbits", "4", "--random", "--part", "1/2"}, exitbadarguments, "--part with --random needs --seed"},
    };
    for (const Refusal& c : usage)
        expectrefused(with(c.args, {"-o", picture}), c);
    testing::writetext(dir.file("y.png.parts"), "mine");
    expectrefused(with(look, {"--part", "1/2", "-o", dir.file("y.png")}),
                  {{}, exitcannotwrite, "y.png.parts: not a folder"});
    // A folder of the shares that the user may not write.
    fs::create_directory(dir.file("z.png.parts"));
    fs::permissions(dir.file("z.png.parts"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                        fs::perms::others_exec);
    fs::permissions(dir.path(), fs::perms::all);
    const int status = testing::asunprivileged([&] {
        const int code = run(with(look, {"--part", "1/2", "-o", dir.file("z.png")}));
        return code == exitcannotwrite &&
                err.str().find("z.png.parts/counts-1-of-2.bin: Error opening a save file. (Permission denied)") !=
                    std::string::npos
            ? code
            : 100 + code;
    });
    EXPECT_EQ(status, exitcannotwrite);
    EXPECT_FALSE(fs::exists(dir.file("z.png")));

    const std::vector<std::uint8_t> one = render(look, "one.png");
    ASSERT_EQ(run(with(look, {"--part", "1/3", "-o", picture})), exitsuccess) << err.str();
    ASSERT_EQ(run(with(look, {"--part", "2/3", "-o", picture})), exitsuccess) << err.str();
    ASSERT_EQ(run(with(look, {"--iterations", "50k", "--part", "1/3", "-o", dir.file("other.png")})), exitsuccess);
    const std::string counts = parts + "/counts-1-of-3.bin";
    const std::vector<std::uint8_t> drawn = testing::readbytes(counts);
    struct Damage {
        std::vector<std::uint8_t> counts;
        std::string said;
    } damages[] = {
        {std::vector<std::uint8_t>(drawn.begin(), drawn.end() - 1), "counts-1-of-3.bin is cut short"},
        {testing::readbytes(dir.file("other.png.parts/counts-1-of-3.bin")), "counts-1-of-3.bin holds the hit counts of other settings"},
        {{}, "counts-1-of-3.bin is not a share's hit counts"},
    };
    for (const Damage& d : damages) {
        testing::writebytes(counts, d.counts);
        expectrefused(with(look, {"--part", "3/3", "-o", picture}),
                      {{}, exitcannotwrite, "x.png.parts: " + d.said + "; share 1/3 run again draws it anew"});
        EXPECT_FALSE(fs::exists(picture)) << d.said;
        EXPECT_TRUE(fs::exists(parts)) << d.said << ": the counts are put back";
        EXPECT_FALSE(fs::exists(dir.file("x.png.joining"))) << d.said;
    }
    ASSERT_EQ(run(with(look, {"--part", "1/3", "-o", picture})), exitsuccess) << err.str();
    EXPECT_EQ(testing::readbytes(picture), one);
    EXPECT_FALSE(fs::exists(parts)) << "the counts go once joined";
}

TEST_F(BatchRenderTest, AClockSeedIsSaidEvenWhenQuiet)
{
    ASSERT_EQ(run({"--quiet", "--random", "--size", "200", "--iterations", "5k", "-o", dir.file("r.png")}), 0);
    EXPECT_EQ(err.str().rfind("ktdravune3d-render: random set with --seed ", 0), 0u) << err.str();
}

TEST_F(BatchRenderTest, PaletteFilesColourThePicture)
{
    const auto builtin = render({"--size", "200", "--iterations", "10k"}, "one.tga");
    const auto fire = render(
        {"--size", "200", "--iterations", "10k", "--palette", std::string(KT_TESTDATA_DIR) + "/maps/firestrm.map"},
        "fire.tga");
    EXPECT_NE(builtin, fire);
    EXPECT_EQ(builtin.size(), fire.size());
}

TEST_F(BatchRenderTest, ANamedPaletteSavedAsAMapRendersTheSamePicture)
{
    const std::vector<std::string> args = {"--size", "200", "--iterations", "10k"};
    auto named = args;
    named.insert(named.end(), {"--palette", "inferno", "--save-palette", dir.file("inferno.map")});
    const auto inferno = render(named, "inferno.tga");
    EXPECT_NE(inferno, render(args, "one.tga"));
    auto reloaded = args;
    reloaded.insert(reloaded.end(), {"--palette", dir.file("inferno.map")});
    EXPECT_EQ(render(reloaded, "reloaded.tga"), inferno);

    // Alone with --screen: the map, and no picture.
    EXPECT_EQ(run({"--screen", "--palette", "2", "--save-palette", dir.file("two.map")}), 0) << err.str();
    const auto two = testing::readbytes(dir.file("two.map"));
    EXPECT_EQ(std::count(two.begin(), two.end(), '\n'), 256);
    EXPECT_EQ(std::string(two.begin(), two.begin() + 6), "0 0 0\n");

    EXPECT_EQ(run({"--quiet", "--palette", "infern", "-o", dir.file("misspelt.tga")}), exitbadarguments);
    EXPECT_NE(err.str().find("inferno, magma, viridis, cividis, twilight, grey or fire, or a .map file"),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir.file("misspelt.tga")));
    EXPECT_EQ(run({"--screen", "--save-palette", dir.file("no/x.map")}), exitcannotwrite);
    EXPECT_NE(err.str().find("no/x.map: Error opening a save file."), std::string::npos) << err.str();
}

TEST_F(BatchRenderTest, TheDepthToneIsTheSameOnEveryThreadCount)
{
    const std::vector<std::vector<std::string>> looks = {
        {"--rotate", "30,40,0", "--supersample", "2", "--depth", "16", "--background", "none", "-o", "still.png"},
        {"--formula", "2", "--palette", "magma", "--background", "black", "-o", "flat.png"},
        {"--turntable", "3", "--palette", "viridis", "--background", "none", "-o", "turn.webp"},
    };
    for (const auto& look : looks) {
        const std::string name = look.back();
        std::vector<std::uint8_t> one;
        for (const char* threads : {"1", "2", "3", "8"}) {
            std::vector<std::string> args = {"--quiet", "--size", "200",       "--iterations", "60k",
                                             "--tone",  "depth",  "--threads", threads};
            args.insert(args.end(), look.begin(), look.end() - 1);
            args.push_back(dir.file(name));
            ASSERT_EQ(run(args), 0) << err.str();
            const auto bytes = testing::readbytes(dir.file(name));
            if (one.empty())
                one = bytes;
            EXPECT_EQ(bytes, one) << name << " on " << threads << " threads";
        }
        EXPECT_FALSE(one.empty()) << name;
    }
}

TEST_F(BatchRenderTest, ExitStatusesNameTheFileAndTheReason)
{
    EXPECT_EQ(run({"--size", "10"}), exitbadarguments);
    EXPECT_EQ(err.str().find("ktdravune3d-render: --size "), 0u) << err.str();
    EXPECT_NE(err.str().find("\nTry 'ktdravune3d-render --help' for more information.\n"), std::string::npos);
    const std::string said = err.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;

    EXPECT_EQ(run({"--quiet", dir.file("absent.dv3")}), exitbadinput);
    EXPECT_NE(err.str().find(dir.file("absent.dv3") + ": Error opening DV3 file"), std::string::npos) << err.str();

    testing::writebytes(dir.file("short.dv3"), {1, 2, 3});
    EXPECT_EQ(run({"--quiet", dir.file("short.dv3")}), exitbadinput);
    EXPECT_NE(err.str().find("too short"), std::string::npos) << err.str();

    auto record = encodedv3(DV3{0, builtinicon1, defaultback, 255, 245, 230, 0, 0, 0});
    const real nan = std::numeric_limits<real>::quiet_NaN();
    std::memcpy(record.data() + 110, &nan, 10);
    testing::writebytes(dir.file("nan.dv3"), std::vector<std::uint8_t>(record.begin(), record.end()));
    EXPECT_EQ(run({"--quiet", "--turntable", "2", "-o", dir.file("nan.webp"), dir.file("nan.dv3")}), exitbadinput);
    EXPECT_NE(err.str().find("nan.dv3: The parameter set's rotation angles must be numbers from 0 to 360 degrees."),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir.file("nan.webp")));

    testing::writetext(dir.file("bad.map"), "1 2 3\nred green blue\n");
    EXPECT_EQ(run({"--quiet", "--palette", dir.file("bad.map")}), exitbadinput);
    EXPECT_NE(err.str().find("Error opening MAP file"), std::string::npos) << err.str();

    EXPECT_EQ(run({"--quiet", "--iterations", "1k", "-o", dir.file("none/x.tga")}), exitcannotwrite);
    EXPECT_NE(err.str().find("none/x.tga: Error opening a save file."), std::string::npos) << err.str();

    EXPECT_EQ(run({"--quiet", "--iterations", "1k", "-o", dir.file("x.tga"), "--save-params", dir.file("no/x.dv3")}),
              exitcannotwrite);
    EXPECT_NE(err.str().find("no/x.dv3"), std::string::npos);
}

TEST_F(BatchRenderTest, FiltersRecolourAsTheProgramsOwnFilters)
{
    struct Case {
        std::vector<std::string> args;
        int cmethod;
        FilterState state;
        int (*filter)(RenderContext&, EngineState&, const FilterState&, PaletteCounts&);
    };
    FilterState adjusted;
    adjusted.nadjust = 2;
    FilterState squared;
    squared.logsquare = 1;
    const Case cases[] = {
        {{"--filter", "normalize", "--nadjust", "2"}, 0, adjusted, normalize},
        {{"--filter", "normalize", "--coloring", "z"}, 1, {}, normalize},
        {{"--filter", "equalize"}, 0, {}, equalize},
        {{"--filter", "equalize", "--coloring", "z"}, 1, {}, equalize},
        {{"--filter", "log"}, 0, {}, logadjust},
        {{"--filter", "log-squared"}, 0, squared, logadjust},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--size", "200", "--iterations", "20500"});
        const auto tga = render(args, "filtered.tga");
        EXPECT_EQ(err.str(), "");

        Surface picture(200, 200);
        EngineState engine;
        engine.res = 200;
        engine.g_vhdc = &picture;
        engine.cmethod = c.cmethod;
        for (int k = 0; k < 21; ++k)
            imagebatch(ctx, engine);
        auto pixels = [&picture] { return std::vector<std::uint32_t>(picture.bits(), picture.bits() + 200 * 200); };
        const auto before = pixels();
        PaletteCounts counts;
        EXPECT_EQ(c.filter(ctx, engine, c.state, counts), filterdone);
        EXPECT_NE(pixels(), before) << "the filter changes the picture";
        EXPECT_TRUE(samepicture(tga, picture)) << args[1] << " " << c.cmethod;
    }
}

TEST_F(BatchRenderTest, AnEmptyPictureIsWrittenWithAWordAndABadScaleIsRefused)
{
    const struct {
        std::vector<std::string> args;
        const char* why; // "" when the picture is not empty
    } cases[] = {
        {{"--iterations", "1"}, "the first batch of 1,000 steps is never plotted"},
        {{"--spp", "0.001"}, "the first batch of 1,000 steps is never plotted"},
        {{"--iterations", "2k"}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--quiet", "-o", dir.file("empty.tga")});
        EXPECT_EQ(run(args), exitsuccess) << c.args[0];
        EXPECT_TRUE(std::filesystem::exists(dir.file("empty.tga")));
        if (*c.why)
            EXPECT_NE(err.str().find(std::string("the picture is empty: ") + c.why), std::string::npos) << err.str();
        else
            EXPECT_EQ(err.str(), "");
    }
    EngineState flat;
    for (const double scale : {0.0, std::numeric_limits<double>::quiet_NaN()}) {
        flat.icon[0].scale = scale;
        ASSERT_EQ(writedv3(ctx, dir.file("flat.dv3"), dv3record(flat)), savedone);
        expectrefused({dir.file("flat.dv3"), "-o", dir.file("flat.tga")},
                      {{}, exitbadinput, "scale must be a positive number"});
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("flat.tga")));
}

TEST_F(BatchRenderTest, AFilterThatCannotApplyLeavesThePictureAsRendered)
{
    const std::string prefix = "ktdravune3d-render: --filter ";
    const auto depth = render({"--size", "200", "--iterations", "10k", "--coloring", "z"}, "depth.tga");
    EXPECT_EQ(
        render({"--size", "200", "--iterations", "10k", "--coloring", "z", "--filter", "log-squared"}, "logged.tga"),
        depth);
    EXPECT_EQ(err.str(),
              prefix +
                  "log-squared not applied, the picture is left as rendered: the log filters "
                  "need hit colouring (--coloring hit)\n");

    // With every coefficient 0 each step falls to the origin and restarts
    // from the same point: one pixel takes every hit. At scale 0.01 that
    // point lies off the image.
    EngineState stillset;
    stillset.icon[0] = ICON{0, 0, 0, 0, 0, 1, 0, 1, 0.1, 0.003, 0.1};
    ASSERT_EQ(writedv3(ctx, dir.file("still.dv3"), dv3record(stillset)), savedone);
    stillset.icon[0].scale = 0.01;
    ASSERT_EQ(writedv3(ctx, dir.file("missing.dv3"), dv3record(stillset)), savedone);

    const auto still = render({"--size", "200", "--iterations", "5k", dir.file("still.dv3")}, "still.tga");
    EXPECT_EQ(render({"--size", "200", "--iterations", "5k", "--filter", "equalize", dir.file("still.dv3")},
                     "stillequalized.tga"),
              still);
    EXPECT_EQ(err.str(), prefix + "equalize not applied, the picture is left as rendered: only one pixel was hit\n");
    render({"--size", "200", "--iterations", "5k", "--filter", "log", dir.file("still.dv3")}, "stilllogged.tga");
    EXPECT_EQ(err.str(), "") << "one pixel hit 4,000 times has a scale";

    const auto missing = render({"--size", "200", "--iterations", "5k", dir.file("missing.dv3")}, "missing.tga");
    EXPECT_EQ(render({"--size", "200", "--iterations", "5k", "--filter", "normalize", dir.file("missing.dv3")},
                     "missingnormalized.tga"),
              missing);
    EXPECT_EQ(err.str(),
              prefix + "normalize not applied, the picture is left as rendered: no pixel was hit\n" +
                  "ktdravune3d-render: " + dir.file("missingnormalized.tga") +
                  ": the picture is empty: no point of the orbit fell inside the picture\n");

    EXPECT_EQ(run({"--filter", "blur"}), exitbadarguments);
    EXPECT_NE(err.str().find("--filter takes none, normalize, equalize, log or log-squared"), std::string::npos);
}

TEST_F(BatchRenderTest, ASignalDuringASaveLeavesNoPartOfIt)
{
    struct Case {
        std::vector<std::string> args;
        std::string output;
        int signal;
        std::vector<std::string> left; // in the output folder, besides what was there
        std::string said;
    };
    const std::vector<std::string> gallery = {"001.dv3", "001.png", "gallery.json", "index.html", "old"};
    const Case cases[] = {
        {{}, "picture.tga", SIGINT, {"old"}, "picture.tga was not written"},
        {{}, "picture.png", SIGTERM, {"old"}, "picture.png was not written"},
        {{"--turntable", "3"}, "turn.webp", SIGINT, {"old"}, "turn.webp was not finished"},
        {{"--turntable", "3"}, "frames/", SIGTERM, {"old"}, "frames/ was not finished"},
        {{"--explore", "3", "--threads", "1"}, "gallery", SIGTERM, gallery, "1 of 3 entries were written"},
    };
    for (const Case& c : cases) {
        testing::TempDir scratch;
        const bool folder = c.output.back() == '/' || (!c.args.empty() && c.args[0] == "--explore");
        const std::string target = scratch.file(c.output);
        const std::string old = folder ? target + "/old" : scratch.file("old");
        if (folder)
            std::filesystem::create_directories(target);
        testing::writetext(old, "kept");
        if (!folder)
            testing::writetext(target, "kept");
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--size", "200", "--iterations", "5k", "--quiet", "-o", target});
        AtomicFile::injectsignal(1000, c.signal);
        EXPECT_EQ(run(args), 128 + c.signal) << c.output << err.str();
        AtomicFile::injectwritefailure(-1);
        EXPECT_NE(err.str().find("interrupted; "), std::string::npos) << err.str();
        EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
        std::vector<std::string> left = folder ? std::vector<std::string>{} : std::vector<std::string>{c.output};
        for (const auto& entry : std::filesystem::directory_iterator(folder ? target : scratch.path().string()))
            if (entry.path().filename() != c.output)
                left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        std::vector<std::string> expected = c.left;
        if (!folder)
            expected.insert(expected.begin(), c.output);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(left, expected) << c.output;
        EXPECT_EQ(testing::readbytes(folder ? old : target).size(), 4u) << c.output << ": the old file stays";
    }
}

TEST_F(BatchRenderTest, HelpAndVersion)
{
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(out.str().find("--iterations N"), std::string::npos);
    EXPECT_NE(out.str().find("--filter none|normalize|equalize|log|log-squared"), std::string::npos);
    EXPECT_NE(out.str().find("--nadjust N"), std::string::npos);
    EXPECT_EQ(run({"--version"}), 0);
    EXPECT_EQ(out.str().rfind("ktdravune3d-render ", 0), 0u);
}

} // namespace
} // namespace kt
