#include <gtest/gtest.h>
#include <unistd.h>
#include <fstream>
#include <filesystem>
#include <functional>
#include <sstream>

#include "app/render/still/batchrender.h"
#include "app/render/commandline/renderoptions.h"

namespace kt {
namespace {

ParsedOptions parse(std::vector<std::string> args)
{
    return parserenderoptions(args);
}

TEST(RenderOptions, DefaultsAndAFullCommandLine)
{
    const auto defaults = parse({});
    ASSERT_EQ(defaults.error, "");
    EXPECT_EQ(defaults.options.formula, 1);
    EXPECT_EQ(defaults.options.size, 600);
    EXPECT_EQ(defaults.options.iterations, 1000000u);
    EXPECT_EQ(defaults.options.output, "icon.tga");
    EXPECT_EQ(defaults.options.filter, "none");
    EXPECT_EQ(defaults.options.nadjust, 5);
    EXPECT_FALSE(defaults.options.paramfile);

    const auto full = parse({"--formula",  "2",           "--size=4000", "--iterations", "2.5k",          "--coloring",
                             "z",          "--palette",   "fire.map",    "--background", "0,128,255",     "--rotate",
                             "90,0.5,360", "--order",     "ZYX",         "--random",     "--seed",        "4294967295",
                             "--fd-limit", "1.75",        "-o",          "out.PNG",      "--save-params", "set.dv3",
                             "--filter",   "log-squared", "--nadjust=0", "--quiet",      "star.dv3"});
    ASSERT_EQ(full.error, "");
    const RenderOptions& o = full.options;
    EXPECT_EQ(o.formula, 2);
    EXPECT_EQ(o.size, 4000);
    EXPECT_EQ(o.iterations, 2500u);
    EXPECT_EQ(o.cmethod, 1);
    EXPECT_EQ(o.palette, "fire.map");
    EXPECT_EQ(*o.background, (std::array<int, 3>{0, 128, 255}));
    EXPECT_EQ((*o.rotation)[1], 0.5L);
    EXPECT_EQ(o.rotationorder, 5);
    EXPECT_TRUE(o.random);
    EXPECT_EQ(*o.seed, 4294967295u);
    EXPECT_EQ(o.fdlimit, 1.75);
    EXPECT_EQ(o.output, "out.PNG");
    EXPECT_EQ(imageformat(o.output), ImageFormat::png);
    EXPECT_EQ(*o.saveparams, "set.dv3");
    EXPECT_EQ(o.filter, "log-squared");
    EXPECT_EQ(o.nadjust, 0);
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(*o.paramfile, "star.dv3");
}

TEST(RenderOptions, GroundsByName)
{
    const std::pair<const char*, int> grounds[] = {{"black", 0}, {"white", 255}};
    for (const auto& [name, level] : grounds) {
        const auto parsed = parse({"--background", name});
        ASSERT_EQ(parsed.error, "") << name;
        EXPECT_EQ(*parsed.options.background, (std::array<int, 3>{level, level, level})) << name;
        EXPECT_FALSE(parsed.options.transparent) << name;
    }
}

TEST(RenderOptions, IterationsRoundUpAndTakeSuffixes)
{
    EXPECT_EQ(parse({"--iterations", "1"}).options.iterations, 1u);
    EXPECT_EQ(parse({"--iterations", "3M"}).options.iterations, 3000000u);
    EXPECT_EQ(parse({"--iterations", "2G"}).options.iterations, 2000000000u);
    EXPECT_EQ(parse({"--iterations", "1500"}).options.iterations, 1500u);
}

TEST(RenderOptions, RotationAnglesKeepExtendedPrecision)
{
    const auto parsed = parse({"--rotate", "0.1,0,0"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ((*parsed.options.rotation)[0], 0.1L);
    EXPECT_NE((*parsed.options.rotation)[0], static_cast<long double>(0.1));
}

TEST(RenderOptions, BadValuesAreRefused)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--formula", "3"},
        {"--formula", "1x"},
        {"--size", "199"},
        {"--tone", "hit", "--size", "4001"},
        {"--size"},
        {"--iterations", "0"},
        {"--iterations", "-5"},
        {"--iterations", "1T"},
        {"--iterations", "2e12"},
        {"--coloring", "depth"},
        {"--background", "1,2"},
        {"--background", "1,2,256"},
        {"--background", "1,,2"},
        {"--background", "Black"},
        {"--palette", "Viridis"},
        {"--save-palette", "mine.txt"},
        {"--background", "grey"},
        {"--rotate", "0,0,361"},
        {"--rotate", "-1,0,0"},
        {"--rotate", "nan,0,0"},
        {"--order", "xyz"},
        {"--seed", "-1"},
        {"--seed", "4294967296"},
        {"--fd-limit", "0.2"},
        {"--orbits", "0"},
        {"--orbits", "1000001"},
        {"--orbits", "4k"},
        {"--fd-limit", "1.8"},
        {"-o", "icon.bmp"},
        {"--output", ".png"},
        {"--bogus"},
        {"a.dv3", "b.dv3"},
        {"--size", " 600"},
        {"--filter", "sharpen"},
        {"--filter", "Log"},
        {"--filter"},
        {"--nadjust", "11"},
        {"--nadjust", "-1"},
        {"--nadjust", "5.5"},
        {"--explore", "0", "-o", "g"},
        {"--explore", "2"},
        {"--explore", "2", "-o", ""},
        {"--explore", "2", "-o", "g", "--random"},
        {"--explore", "2", "-o", "g", "--turntable", "3"},
        {"--turntable", "1"},
        {"--turntable", "721"},
        {"--turntable", "3", "--screen"},
        {"--turntable", "3", "--random"},
        {"--turntable", "3", "--spin", "y"},
        {"--turntable", "3", "--fps", "0"},
        {"--turntable", "3", "--fps", "61"},
        {"--turntable", "3", "--quality", "101"},
        {"--turntable", "3", "-o", "spin.png"},
        {"--turntable", "3", "-o", "frames/", "--quality", "50"},
        {"--spin", "X"},
        {"--fps", "30"},
        {"--quality", "80"},
        {"-o", "spin.webp"},
        {"-o", "frames/"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_NE(parse(args).error, "") << joined;
    }
}

TEST(RenderOptions, AGalleryDefaultsToSmallerPicturesAndTakesAFolder)
{
    const auto gallery = parse({"--explore", "24", "-o", "pictures"});
    ASSERT_EQ(gallery.error, "");
    EXPECT_EQ(gallery.options.explore, 24);
    EXPECT_EQ(gallery.options.output, "pictures");
    EXPECT_EQ(gallery.options.size, 300);
    EXPECT_EQ(gallery.options.iterations, 2000000u);

    const auto chosen = parse({"--size", "640", "--iterations", "5k", "--explore", "1000", "-o", "g"});
    ASSERT_EQ(chosen.error, "");
    EXPECT_EQ(chosen.options.size, 640);
    EXPECT_EQ(chosen.options.iterations, 5000u);
}

TEST(RenderOptions, IterationsAreWholeNumbersAndEveryNumberIsDecimal)
{
    const struct {
        const char* text;
        std::uint64_t steps; // 0: refused
    } iterations[] = {
        {"7", 7},   {"007", 7},  {"0.5k", 500}, {"1.000k", 1000}, {"0.000001M", 1}, {"1000G", 1000000000000ull},
        {"0.5", 0}, {"1e-9", 0}, {"1e3", 0},    {"0.0001k", 0},   {"1.5", 0},       {"0x10", 0},
        {".5k", 0}, {"k", 0},    {"1001G", 0},  {"+5", 0},        {"5.k", 5000},    {"00", 0},
    };
    for (const auto& c : iterations) {
        const auto parsed = parse({"--iterations", c.text});
        EXPECT_EQ(parsed.error.empty(), c.steps != 0) << c.text;
        if (c.steps) {
            EXPECT_EQ(parsed.options.iterations, c.steps) << c.text;
        }
    }
    const std::vector<std::vector<std::string>> hexadecimal = {
        {"--rotate", "0x10,0,0"}, {"--fd-limit", "0x1p0"}, {"--size", "0x100"},
        {"--rotate", "inf,0,0"},  {"--seed", "0x10"},
    };
    for (const auto& args : hexadecimal)
        EXPECT_NE(parse(args).error, "") << args[0] << ' ' << args[1];
    EXPECT_EQ(parse({"--rotate", "1e1,+2.5,0"}).error, "");
}

TEST(RenderOptions, TurntableOutputs)
{
    const auto defaults = parse({"--turntable", "72"});
    ASSERT_EQ(defaults.error, "");
    EXPECT_EQ(defaults.options.output, "icon.webp");
    const auto folder = parse({"-o", "frames/", "--turntable", "2", "--spin", "Z", "--fps", "60"});
    ASSERT_EQ(folder.error, "");
    EXPECT_EQ(animationformat(folder.options.output), AnimationFormat::pngfolder);
    EXPECT_EQ(*folder.options.spin, Z);
    EXPECT_EQ(animationformat("."), AnimationFormat::pngfolder) << "an existing folder";
    EXPECT_EQ(animationformat("Spin.WEBP"), AnimationFormat::webp);
}

// What the program says to a command line, word for word: a refused one is
// named on the first line with exit status 1, whatever came after the fault;
// an accepted one is read as the check says.
TEST(RenderOptions, CommandLinesAndWhatTheProgramSays)
{
    using Read = std::function<bool(const RenderOptions&)>;
    const struct {
        std::vector<std::string> args;
        const char* said; // nullptr: accepted, and `read` holds
        Read read = {};
    } lines[] = {
        // A picture file fixes the picture: the first option it fixes is named.
        {{"--picture", "p.pic", "--size", "300", "--formula", "2"}, "--picture cannot be given with --size"},
        {{"--formula", "2", "--size", "300", "--picture", "p.pic"}, "--picture cannot be given with --formula"},
        {{"star.dv3", "--picture", "p.pic"}, "--picture cannot be given with a parameter file"},
        {{"--picture", "p.pic", "--fit", "--spp", "5", "--iterations", "1M"}, "--picture cannot be given with --fit"},
        {{"--picture", "p.pic", "--fps", "30"}, "--picture cannot be given with --fps"},
        {{"--picture", "p.pic", "--seed", "1", "--part", "1/2"}, "--picture cannot be given with --seed"},
        {{"--picture", ""}, "--picture takes a file name"},
        {{"--picture", "p.pic", "-o", "a.png", "--threads", "2", "--quiet", "--save-params", "a.dv3", "--save-palette",
          "a.map"},
         nullptr,
         [](const RenderOptions& o) { return o.picture == "p.pic" && o.threads == 2 && o.quiet; }},
        // Decimal only, and a leading zero is no octal.
        {{"--size", "0x100"}, "--size takes a whole number from 200 to 16384, or WxH with each side from 16 to 16384"},
        {{"--seed", "0x10"}, "--seed takes a whole number from 0 to 4294967295"},
        {{"--brightness", "0x1p0"}, "--brightness takes a number from 0.01 to 100"},
        {{"--rotate", "0x10,0,0"}, "--rotate takes X,Y,Z, each an angle from 0 to 360 degrees"},
        {{"--seed", "010", "--threads", "010", "--size", "0600", "--formula", "02"},
         nullptr,
         [](const RenderOptions& o) { return o.seed == 10u && o.threads == 10 && o.size == 600 && o.formula == 2; }},
        {{"--depth", "08"}, "--depth takes 8 or 16"},
        // Whole numbers of steps, with k, M or G.
        {{"--iterations", "2.5k"}, nullptr, [](const RenderOptions& o) { return o.iterations == 2500; }},
        {{"--iterations", "3M"}, nullptr, [](const RenderOptions& o) { return o.iterations == 3000000; }},
        {{"--iterations", "1000G"}, nullptr, [](const RenderOptions& o) { return o.iterations == 1000000000000; }},
        {{"--iterations", "0x10"},
         "--iterations takes a whole number of steps from 1 to 1000G, optionally with k, M or G"},
        {{"--iterations", "1.5"},
         "--iterations takes a whole number of steps from 1 to 1000G, optionally with k, M or G"},
        {{"--iterations", "1001G"},
         "--iterations takes a whole number of steps from 1 to 1000G, optionally with k, M or G"},
        // -- ends the options; before it, a word beginning with - is one.
        {{"--quiet", "--", "-odd.dv3"}, nullptr, [](const RenderOptions& o) { return o.paramfile == "-odd.dv3"; }},
        {{"-o", "--", "a.dv3"}, "--output must name a .tga or .png file"},
        {{"-odd.dv3"}, "unknown option -odd.dv3"},
        {{"-5"}, "unknown option -5"},
        {{"--", "a.dv3", "-b.dv3"}, "only one parameter file may be given"},
        // A missing value, and an empty one.
        {{"--quiet", "--size"}, "--size needs a value"},
        {{"-o"}, "--output needs a value"},
        {{"--palette="},
         "--palette takes 1, 2, inferno, magma, viridis, cividis, twilight, grey or fire, or a .map file"},
        {{"--size=", "600"}, "--size takes a whole number from 200 to 16384, or WxH with each side from 16 to 16384"},
        // Unknown options, named in the order given; an option is its name alone.
        {{"--bogus=5", "--size", "10"}, "unknown option --bogus"},
        {{"--size", "10", "--bogus"},
         "--size takes a whole number from 200 to 16384, or WxH with each side from 16 to 16384"},
        {{"--help", "--bogus"}, "unknown option --bogus"},
        {{"--fit=true"}, "unknown option --fit"},
        {{"-ofile.png"}, "unknown option -ofile.png"},
        {{"-hx"}, "unknown option -hx"},
        {{"a.dv3", "b.dv3", "--bogus"}, "only one parameter file may be given"},
        // Options that exclude others or need another, and what is named first.
        {{"--spp", "5", "--iterations", "1M"}, "--spp and --iterations are two ways of giving the steps: give one"},
        {{"--explore", "2", "-o", "g", "--random", "--screen"}, "--explore cannot be combined with --screen"},
        {{"--explore", "2", "-o", "g", "--turntable", "3", "--screen"}, "--explore cannot be combined with --screen"},
        {{"--turntable", "3", "--random"}, "--turntable cannot be combined with --random"},
        {{"--quality", "80"}, "--spin, --fps and --quality need --turntable"},
        {{"--explore", "2"}, "--explore needs -o DIR, the folder that receives the gallery"},
        {{"--explore", "2", "--size", "300x200"},
         "--size WxH makes a still picture: not with --explore or --turntable"},
        {{"--fps", "30", "--spp", "5", "--iterations", "1M"}, "--spin, --fps and --quality need --turntable"},
        // The last of an option given twice counts, and each is checked.
        {{"--size", "300", "--size", "400"}, nullptr, [](const RenderOptions& o) { return o.size == 400; }},
        {{"--size", "10", "--size", "400"},
         "--size takes a whole number from 200 to 16384, or WxH with each side from 16 to 16384"},
    };
    for (const auto& line : lines) {
        std::string joined;
        for (const auto& word : line.args)
            joined += "'" + word + "' ";
        if (!line.said) {
            const ParsedOptions parsed = parserenderoptions(line.args);
            EXPECT_EQ(parsed.error, "") << joined;
            EXPECT_TRUE(parsed.error.empty() && line.read(parsed.options)) << joined;
            continue;
        }
        std::ostringstream out, err;
        EXPECT_EQ(runbatchrender(line.args, out, err, false), exitbadarguments) << joined;
        EXPECT_EQ(err.str(),
                  std::string("ktdravune3d-render: ") + line.said +
                      "\nTry 'ktdravune3d-render --help' for more information.\n")
            << joined;
        EXPECT_EQ(out.str(), "") << joined;
    }

    // The help is made from the same table: each option with its value's form
    // and its range.
    std::string help;
    std::istringstream words(renderusage());
    for (std::string word; words >> word;)
        help += word + ' ';
    for (const char* shown :
         {"--picture FILE render the picture a picture file (or a gallery.json entry's \"picture\") describes",
          "--size N|WxH image side in pixels, 200..4000", "--iterations N a whole number of formula steps, 1..1000G",
          "--fps F the animation's frames per second, 1..60", "--order XYZ|XZY|YXZ|YZX|ZXY|ZYX", "-o, --output FILE",
          "--spp N steps per pixel instead of --iterations, 0.001..100000",
          "(with --tone density); not with --iterations", "Not with --screen, --turntable, --random or --save-params."})
        EXPECT_NE(help.find(shown), std::string::npos) << shown << "\n" << renderusage();
}

TEST(RenderOptions, DoubleDashEndsTheOptions)
{
    const auto parsed = parse({"--", "--odd-name.dv3"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(*parsed.options.paramfile, "--odd-name.dv3");
}

} // namespace
} // namespace kt

namespace kt {
namespace {

TEST(RenderOptions, PrintOptionsAndWhatTheyNeed)
{
    const auto print = parse({"--tone",   "density",      "--spp",  "50",        "--supersample", "3",  "--fit",
                              "--margin", "0.1",          "--size", "1920x1080", "--depth",       "16", "--background",
                              "none",     "--brightness", "2",      "--gamma",   "1.5",           "-o", "print.png"});
    ASSERT_EQ(print.error, "");
    const RenderOptions& o = print.options;
    EXPECT_TRUE(o.density && o.fit && o.transparent);
    EXPECT_EQ(framewidth(o), 1920);
    EXPECT_EQ(frameheight(o), 1080);
    EXPECT_EQ(renderside(o), 5760);
    // Steps per pixel of the output's larger side squared, whatever the supersampling.
    EXPECT_EQ(o.iterations, 50ull * 1920 * 1920);
    EXPECT_EQ(o.margin, 0.1);
    EXPECT_EQ(o.depth, 16);
    // An option only the density tone has chooses it.
    const auto implied = parse({"--spp", "50", "--supersample", "3", "--fit", "--size", "4000"});
    EXPECT_EQ(implied.error, "");
    EXPECT_TRUE(implied.options.density);
    for (const char* size : {"1920x1080", "4001", "16384"}) {
        const auto alone = parse({"--size", size});
        EXPECT_EQ(alone.error, "") << size;
        EXPECT_TRUE(alone.options.density) << size;
    }
    EXPECT_FALSE(parse({"--size", "4000"}).options.density);
    EXPECT_EQ(parse({"--size", "16384x16384", "--tone", "density"}).error, "");
    EXPECT_EQ(parse({"--size", "16384", "--tone", "density"}).options.size, 16384);
    // A gallery's steps per pixel follow its own default size.
    EXPECT_EQ(parse({"--explore", "4", "-o", "g", "--spp", "10"}).options.iterations, 10ull * 300 * 300);
    EXPECT_EQ(parse({"--explore", "4", "-o", "g", "--margin", "0.2"}).options.margin, 0.2);

    const struct {
        std::vector<std::string> args;
        const char* message;
    } refused[] = {
        {{"--tone", "depth", "--coloring", "z"}, "--tone depth colours by hit count: not with --coloring z"},
        {{"--tone", "flame"}, "--tone takes hit, density or depth"},
        {{"--spp", "5", "--iterations", "1M"}, "give one"},
        {{"--spp", "0"}, "--spp takes"},
        {{"--margin", "0.1"}, "--margin needs --fit"},
        {{"--fit", "--margin", "0.5"}, "--margin takes"},
        {{"--tone", "hit", "--supersample", "2"}, "--supersample needs --tone density"},
        {{"--tone", "density", "--supersample", "9"}, "--supersample takes"},
        {{"--tone", "hit", "--gamma", "2"}, "--gamma needs --tone density"},
        {{"--tone", "hit", "--depth", "16", "-o", "a.png"}, "--depth needs --tone density"},
        {{"--tone", "density", "--depth", "12"}, "--depth takes 8 or 16"},
        {{"--tone", "hit", "--background", "none"}, "--background none needs --tone density"},
        {{"--supersample", "2", "--coloring", "z"}, "not with --coloring z"},
        {{"--tone", "density", "--depth", "16"}, "-o must name a .png file"},
        {{"--tone", "density", "--coloring", "z"}, "not with --coloring z"},
        {{"--tone", "density", "--filter", "log"}, "not with --filter"},
        {{"--save-params", "z.dv"}, "its name must end in .dv3"},
        {{"--turntable", "2", "--size", "16384"}, "at most 16383 pixels a side"},
        {{"-o", "x.png", "--save-params", "x.png"}, "its name must end in .dv3"},
        {{"-o", "frames/", "--turntable", "2", "--save-params", "frames"}, "its name must end in .dv3"},
        {{"--tone", "hit", "--size", "1920x1080"}, "--size WxH and sides above 4000 need --tone density"},
        {{"--tone", "hit", "--size", "4001"}, "--size WxH and sides above 4000 need --tone density"},
        {{"--size", "4001", "--coloring", "z"}, "not with --coloring z"},
        {{"--tone", "density", "--size", "16385"}, "--size takes"},
        {{"--tone", "density", "--size", "16385x100"}, "--size takes"},
        {{"--tone", "density", "--size", "100x"}, "--size takes"},
        {{"--tone", "density", "--size", "300x200", "--turntable", "3"}, "not with --explore or --turntable"},
    };
    EXPECT_EQ(parse({"--save-params", "Z.DV3"}).error, "");
    EXPECT_EQ(parse({"--turntable", "2", "--size", "16383"}).error, "");
    EXPECT_EQ(parse({"--turntable", "2", "--size", "16384", "-o", "frames/"}).error, "");
    // The record would replace the picture.
    const auto folder = std::filesystem::temp_directory_path() / ("kt-same-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream((folder / "x.png").string()) << "picture";
    std::filesystem::create_symlink(folder / "x.png", folder / "x.dv3");
    EXPECT_EQ(parse({"-o", (folder / "x.png").string(), "--save-params", (folder / "x.dv3").string()}).error,
              "-o and --save-params name the same file");
    std::filesystem::remove_all(folder);
    for (const auto& c : refused) {
        const std::string error = parse(c.args).error;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.args.front() << ": " << error;
    }
}

} // namespace
} // namespace kt
