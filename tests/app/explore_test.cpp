#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/render/still/batchrender.h"
#include "app/render/gallery/explore.h"
#include "app/render/gallery/gallerypage.h"
#include "app/render/shares/galleryshares.h"
#include "files/atomicfile.h"
#include "support/render/batchrenderfixture.h"
#include "support/base/tempdir.h"

namespace kt {
namespace {

namespace fs = std::filesystem;

class ExploreTest : public testing::BatchRenderFixture {
protected:
    int run(std::vector<std::string> args)
    {
        args.push_back("--quiet");
        return BatchRenderFixture::run(args);
    }

    // Every entry's picture, parameter file and the two page files, by name.
    static std::map<std::string, std::vector<std::uint8_t>> files(const fs::path& folder)
    {
        std::map<std::string, std::vector<std::uint8_t>> all;
        for (const auto& entry : fs::directory_iterator(folder))
            all[entry.path().filename().string()] = testing::readbytes(entry.path().string());
        return all;
    }

    testing::TempDir dir;
};

// Small pictures, a rotation and a filter: what holds for them holds for
// every option, as the options reach every entry by the same path.
const std::vector<std::string> look = {"--formula", "2",          "--size",  "200", "--iterations", "20k",
                                       "--rotate",  "10,20,30.5", "--order", "ZXY", "--filter",     "normalize"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST_F(ExploreTest, EntriesAreTheSearchStreamAndRenderAgainFromTheirParameterFiles)
{
    const std::string folder = dir.file("gallery");
    ASSERT_EQ(run(with(look, {"--explore", "3", "--seed", "2024", "-o", folder})), 0) << err.str();
    EXPECT_EQ(err.str(), "");

    ASSERT_EQ(run(with(look, {"--random", "--seed", "2024", "-o", dir.file("random.png")})), 0);
    EXPECT_EQ(testing::readbytes(dir.file("random.png")), testing::readbytes(folder + "/001.png"));

    for (const std::string name : {"001", "002", "003"}) {
        ASSERT_EQ(run(with(look, {folder + "/" + name + ".dv3", "-o", dir.file("again.png")})), 0);
        EXPECT_EQ(testing::readbytes(dir.file("again.png")), testing::readbytes(folder + "/" + name + ".png")) << name;
    }
    EXPECT_NE(testing::readbytes(folder + "/001.dv3"), testing::readbytes(folder + "/002.dv3"))
        << "each entry is a new set of the stream";

    // The record of an entry carries the measures the screen gives its set.
    ASSERT_EQ(run({"--screen", folder + "/002.dv3"}), 0);
    const std::string report = out.str();
    const auto measure = [&report](const std::string& label) {
        const auto at = report.find(label + ": ");
        return at == std::string::npos ? -1.0 : std::stod(report.substr(at + label.size() + 2));
    };
    std::ifstream json(folder + "/gallery.json");
    std::stringstream text;
    text << json.rdbuf();
    const std::string record = text.str().substr(text.str().find("\"index\": 2,"));
    const auto field = [&record](const std::string& name) {
        return std::stod(record.substr(record.find("\"" + name + "\": ") + name.size() + 4));
    };
    EXPECT_NEAR(field("lyapunov_exponent"), measure("lyapunov exponent"), 1e-12);
    EXPECT_NEAR(field("fractal_dimension"), measure("fractal dimension"), 1e-12);
    EXPECT_NE(text.str().find("\"index\": 3,"), std::string::npos);
}

// Each entry's "picture" in gallery.json, given to --picture, is that entry's
// file again, for the hit tone with a filter and for the default toned, fitted
// look alike; and a file that holds no picture is refused without a file.
TEST_F(ExploreTest, AnEntrysPictureRendersItsFileAgain)
{
    const std::vector<std::string> looks[] = {look, {"--size", "200", "--iterations", "20k", "--orbits", "64"}};
    int n = 0;
    for (const auto& args : looks) {
        const std::string folder = dir.file("gallery" + std::to_string(++n));
        ASSERT_EQ(run(with(args, {"--explore", "2", "--seed", "11", "-o", folder})), 0) << err.str();
        const auto json = testing::readbytes(folder + "/gallery.json");
        const std::string text(json.begin(), json.end());
        const auto entry = text.find("\"index\": 2,");
        const auto from = text.find("\"picture\": ", entry) + 11;
        testing::writetext(dir.file("entry.json"), text.substr(from, text.find('}', from) + 1 - from));
        ASSERT_EQ(run({"--picture", dir.file("entry.json"), "-o", dir.file("again.png")}), 0) << err.str();
        EXPECT_EQ(testing::readbytes(dir.file("again.png")), testing::readbytes(folder + "/002.png")) << n;
    }
    testing::writetext(dir.file("bad.json"), R"({"tone": "glow"})");
    EXPECT_EQ(run({"--picture", dir.file("bad.json"), "-o", dir.file("bad.png")}), exitbadinput);
    EXPECT_NE(err.str().find("bad.json: tone takes hit, density or depth"), std::string::npos) << err.str();
    EXPECT_EQ(run({"--picture", dir.file("none.json"), "-o", dir.file("bad.png")}), exitbadinput);
    EXPECT_NE(err.str().find("none.json: cannot be read (No such file or directory)"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("bad.png")));
}

TEST_F(ExploreTest, TheSameArgumentsGiveTheSameFilesOnAnyNumberOfThreads)
{
    // Each picture is filtered and written on the thread that drew it.
    for (const std::string filter : {"normalize", "equalize", "none"}) {
        const auto args = with(look, {"--explore", "5", "--seed", "7", "--coloring", "z", "--filter", filter});
        ASSERT_EQ(run(with(args, {"--threads", "1", "-o", dir.file(filter + "1")})), 0);
        const auto one = files(dir.file(filter + "1"));
        EXPECT_EQ(one.size(), 12u) << "five pictures, five sets, the page and its data";
        for (const std::string threads : {"2", "3"}) {
            ASSERT_EQ(run(with(args, {"--threads", threads, "-o", dir.file(filter + threads)})), 0);
            EXPECT_EQ(one, files(dir.file(filter + threads))) << filter << " on " << threads << " threads";
        }
    }
}

TEST_F(ExploreTest, SharesMakeThePageOnlyFromEveryRecordOfTheSameGallery)
{
    const std::string folder = dir.file("shares");
    const auto share = with(look, {"--explore", "3", "--seed", "5", "-o", folder});
    ASSERT_EQ(run(with(share, {"--part", "1/2"})), 0) << err.str();
    EXPECT_FALSE(fs::exists(folder + "/index.html")) << "one share of two writes no page";
    ASSERT_EQ(run(with(share, {"--part", "2/2"})), 0) << err.str();
    ASSERT_TRUE(fs::exists(folder + "/index.html"));
    ASSERT_EQ(run(with(look, {"--explore", "3", "--seed", "5", "-o", dir.file("one")})), 0) << err.str();
    EXPECT_EQ(files(dir.file("one")).at("gallery.json"), files(folder).at("gallery.json"));

    const std::string first = folder + "/" + sharerecordname(1, 2);
    const std::string second = folder + "/" + sharerecordname(2, 2);
    const auto text = [](const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string good1 = text(first), good2 = text(second);
    // The settings, then the entries each share finished.
    const std::string settings = good1.substr(0, good1.find("finished\n"));
    const std::string header = settings + "finished\n";
    ASSERT_EQ(good2.substr(0, header.size()), header);
    std::string otherseed = header;
    otherseed.replace(otherseed.find("seed 5\n"), 7, "seed 6\n");
    struct Case {
        const char* what;
        std::string record1;
        bool complete;
        std::string problem;
    } cases[] = {
        {"as written", good1, true, ""},
        {"another gallery's", otherseed + good1.substr(header.size()), true, "seed 6, not 5"},
        {"an entry twice", good1 + good2.substr(header.size()), true, "entry 2 is named by two shares"},
        {"an entry left out", header, true, "no share names entry 1"},
        {"a line without measures", header + "1\n", true, "lacks the entry's measures"},
        {"missing", "", false, ""},
    };
    for (const Case& c : cases) {
        if (c.complete)
            testing::writetext(first, c.record1);
        else
            fs::remove(first);
        const JoinedShares joined = joinshares(folder, 2, settings, 3);
        EXPECT_EQ(joined.complete, c.complete) << c.what;
        if (c.problem.empty())
            EXPECT_EQ(joined.problem, "") << c.what;
        else
            EXPECT_NE(joined.problem.find(c.problem), std::string::npos) << c.what << ": " << joined.problem;
        EXPECT_EQ(joined.entries.size(), c.complete && c.problem.empty() ? 3u : 0u) << c.what;
    }

    // A share of other settings than the records in the folder is refused
    // before it writes anything, and names the first setting that differs.
    testing::writetext(first, good1);
    const auto before = files(folder);
    const struct {
        std::vector<std::string> args;
        const char* named;
    } atodds[] = {
        {with(share, {"--part", "2/2", "--size", "300", "--palette", "2"}), "width 200, not 300"},
        {with(share, {"--part", "2/2", "--palette", "2"}), "another palette_colours"},
        {with(share, {"--part", "1/2", "--seed", "6"}), "seed 5, not 6"},
        {with(share, {"--part", "1/3", "--filter", "none"}), "background [255, 245, 230], not [0, 0, 0]"},
        {with(share, {"--part", "1/2", "--rotate", "10,20,30"}), "rotation"},
    };
    for (const auto& c : atodds) {
        EXPECT_EQ(run(c.args), exitbadinput) << c.named;
        EXPECT_NE(err.str().find(c.named), std::string::npos) << err.str();
        EXPECT_EQ(files(folder), before) << c.named;
    }
}

TEST_F(ExploreTest, BadInputChangesNothingAndAFolderThatCannotTakeTheGalleryIsReported)
{
    const std::string folder = dir.file("kept");
    fs::create_directories(folder + "/002.png");
    testing::writetext(folder + "/notes.txt", "mine");
    testing::writebytes(dir.file("short.dv3"), {1, 2, 3});
    const Refusal cases[] = {
        {{"--explore", "2", "--random", "-o", folder}, exitbadarguments, "cannot be combined with --random"},
        {{"--explore", "2", "--screen", "-o", folder}, exitbadarguments, "cannot be combined with --screen"},
        {{"--explore", "2", "--part", "1/2", "-o", folder}, exitbadarguments, "--part needs --seed"},
        {{"--explore", "2", "--seed", "1", "--part", "3/2", "-o", folder}, exitbadarguments, "--part takes K/N"},
        {{"--part", "1/2", "--seed", "1"}, exitbadarguments, "--part K/N on a still picture needs --orbits above 1"},
        {{"--turntable", "4", "--part", "1/5", "-o", folder + "/"}, exitbadarguments, "at most the number of frames"},
        {{"--explore", "2", "--save-params", "a.dv3", "-o", folder}, exitbadarguments, "--save-params"},
        {{"--explore", "2"}, exitbadarguments, "--explore needs -o DIR"},
        {{"--explore", "1001", "-o", folder}, exitbadarguments, "from 1 to 1000"},
        {{"--explore", "2", "-o", dir.file("new"), dir.file("short.dv3")}, exitbadinput, "too short"},
        {{"--explore", "2", "-o", dir.file("short.dv3")}, exitcannotwrite, "cannot hold the gallery"},
        {{"--explore", "3", "--size", "200", "--iterations", "5k", "-o", folder}, exitcannotwrite, "002.png"},
    };
    for (const Refusal& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--quiet");
        expectrefused(args, c);
    }
    EXPECT_FALSE(fs::exists(dir.file("new")));
    EXPECT_EQ(testing::readbytes(dir.file("short.dv3")).size(), 3u);
    // The failed run kept its finished entry and its page, wrote nothing
    // after the failure and left no temporary behind.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"001.dv3", "001.png", "002.png", "gallery.json", "index.html", "notes.txt"}));
}

TEST_F(ExploreTest, EveryPageFileThatCannotBeWrittenIsNamed)
{
    const std::vector<std::string> args = {"--explore", "1", "--seed", "4", "--size", "200", "--iterations", "5k"};
    ASSERT_EQ(run(with(args, {"-o", dir.file("whole")})), exitsuccess) << err.str();
    // The disk fills once the entry's files are written.
    const auto entrybytes = fs::file_size(dir.file("whole/001.png")) + fs::file_size(dir.file("whole/001.dv3"));
    AtomicFile::injectwritefailure(static_cast<long long>(entrybytes));
    EXPECT_EQ(run(with(args, {"-o", dir.file("full")})), exitcannotwrite);
    for (const char* page : {"gallery.json", "index.html"})
        EXPECT_NE(err.str().find(dir.file("full/") + page + ": cannot be written"), std::string::npos)
            << page << ": " << err.str();
}

TEST_F(ExploreTest, AGalleryThatFailsPartWayHasThePageOfTheEntriesItFinished)
{
    const std::string folder = dir.file("gallery");
    const auto args = [](std::uint32_t seed, int entries, const std::string& to) {
        return std::vector<std::string>{
            "--size", "200", "--iterations", "5k", "--seed", std::to_string(seed), "--explore", std::to_string(entries),
            "-o",     to};
    };
    ASSERT_EQ(run(args(1, 3, folder)), exitsuccess) << err.str();
    ASSERT_EQ(run(args(2, 2, dir.file("finished"))), exitsuccess) << err.str();
    // Entry 3 of the second run cannot be written.
    fs::remove(folder + "/003.png");
    fs::create_directory(folder + "/003.png");
    EXPECT_EQ(run(args(2, 4, folder)), exitcannotwrite);
    for (const std::string name : {"gallery.json", "index.html", "001.dv3", "002.png"})
        EXPECT_EQ(testing::readbytes(folder + "/" + name), testing::readbytes(dir.file("finished/") + name)) << name;
}

} // namespace
} // namespace kt

namespace kt {
namespace {

// The address space the test's process has mapped, in bytes.
std::uint64_t mappedbytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0)
            return std::stoull(line.substr(7)) * 1024;
    return 0;
}

// An entry in flight holds a 4000-pixel picture and its hit counts, 128 MB:
// sixteen entries, as sixteen threads would have in flight, do not fit in
// the limit beside the threads and the writing; eight do. Writes that meet
// at the edge of the limit must not lose an entry either.
TEST_F(ExploreTest, ManyThreadsInLittleMemoryFinishEveryEntry)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's shadow memory takes more address space than the limit";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string folder = dir.file("gallery");
    const auto limited = [&] {
        const rlim_t limit = mappedbytes() + (std::uint64_t{22} << 30) / 10;
        const rlimit bound{limit, limit};
        ::setrlimit(RLIMIT_AS, &bound);
        const int status = run({"--threads", "16", "--explore", "16", "--size", "4000", "--iterations", "1k", "--seed",
                                "3", "-o", folder});
        std::ifstream json(folder + "/gallery.json");
        const std::string text{std::istreambuf_iterator<char>(json), {}};
        std::fprintf(stderr, "status %d, %s\n", status, err.str().c_str());
        ::_exit(status == 0 && text.find("\"index\": 16,") != std::string::npos ? 0 : 1);
    };
    EXPECT_EXIT(limited(), ::testing::ExitedWithCode(0), "");
}

// Under an address-space limit that holds the gallery on one thread, more
// threads must not cost any entry: they start only as far as they leave the
// pictures their room.
TEST_F(ExploreTest, TheThreadsAskedForDoNotDecideWhatFitsInALimitedAddressSpace)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's shadow memory takes more address space than the limit";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const std::string threads : {"1", "2", "16"}) {
        const std::string folder = dir.file("gallery" + threads);
        const auto limited = [&] {
            const rlim_t limit = mappedbytes() + (std::uint64_t{130} << 20);
            const rlimit bound{limit, limit};
            ::setrlimit(RLIMIT_AS, &bound);
            // The density tone: the limit is measured for its pictures, which
            // keep no depth sums.
            const int status = run({"--threads", threads, "--explore", "4", "--size", "2000", "--iterations", "20k",
                                    "--seed", "1", "--tone", "density", "-o", folder});
            std::ifstream json(folder + "/gallery.json");
            const std::string text{std::istreambuf_iterator<char>(json), {}};
            std::fprintf(stderr, "status %d, %s\n", status, err.str().c_str());
            ::_exit(status == 0 && text.find("\"index\": 4,") != std::string::npos ? 0 : 1);
        };
        EXPECT_EXIT(limited(), ::testing::ExitedWithCode(0), "") << threads << " threads";
    }
    // So for a single picture, whose turning every thread shares.
    const auto single = [&] {
        const rlim_t limit = mappedbytes() + (std::uint64_t{110} << 20);
        const rlimit bound{limit, limit};
        ::setrlimit(RLIMIT_AS, &bound);
        const int status = run({"--threads", "256", "--rotate", "10,20,30", "--size", "2000", "--iterations", "20k",
                                "--quiet", "-o", dir.file("turned.png")});
        std::fprintf(stderr, "status %d, %s\n", status, err.str().c_str());
        ::_exit(status);
    };
    EXPECT_EXIT(single(), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace kt

namespace kt {
namespace {

std::vector<std::string> words(const std::string& command)
{
    std::istringstream stream(command);
    std::vector<std::string> all;
    for (std::string word; stream >> word;)
        all.push_back(word);
    return all;
}

// One string field of an entry's record in gallery.json.
std::string recordfield(const std::string& json, int index, const std::string& name)
{
    const std::string record = json.substr(json.find("\"index\": " + std::to_string(index) + ","));
    const auto start = record.find("\"" + name + "\": \"") + name.size() + 5;
    return record.substr(start, record.find('"', start) - start);
}

TEST_F(ExploreTest, ADefaultGalleryIsTonedAndFittedAndEachEntryNamesItsCommands)
{
    const std::string folder = dir.file("gallery");
    const std::vector<std::string> gallery = {"--explore",    "3",   "--seed",   "5",     "--size", "200",
                                              "--iterations", "60k", "--rotate", "0,30,0"};
    ASSERT_EQ(run(with(gallery, {"-o", folder})), 0) << err.str();
    ASSERT_EQ(run(with(gallery, {"-o", dir.file("one"), "--threads", "1"})), 0) << err.str();
    EXPECT_EQ(files(folder), files(dir.file("one")));
    std::ifstream file(folder + "/gallery.json");
    std::stringstream text;
    text << file.rdbuf();
    const std::string json = text.str();
    for (const char* setting :
         {"\"tone\": \"depth\"", "\"fit_margin\": 0.05", "\"rotation\": [0, 30, 0]", "\"palette\": \"inferno\"",
          "\"background\": [0, 0, 0]", "\"tone_brightness\": 3", "\"size\": 200", "\"iterations\": 60000"})
        EXPECT_NE(json.find(setting), std::string::npos) << setting;

    for (int index = 1; index <= 3; ++index) {
        const std::string name = entryname(index);
        // The command as a user would run it in the folder, with the folder's paths.
        std::vector<std::string> again = words(recordfield(json, index, "reproduce"));
        ASSERT_EQ(again.front(), "ktdravune3d-render");
        again.erase(again.begin());
        for (std::string& word : again)
            if (word == name + ".dv3")
                word = folder + "/" + word;
            else if (word == name + ".png")
                word = dir.file("again.png");
        ASSERT_EQ(run(again), 0) << err.str();
        EXPECT_EQ(testing::readbytes(dir.file("again.png")), testing::readbytes(folder + "/" + name + ".png")) << name;

        std::vector<std::string> print = words(recordfield(json, index, "print"));
        print.erase(print.begin());
        const ParsedOptions parsed = parserenderoptions(print);
        EXPECT_EQ(parsed.error, "") << name;
        EXPECT_EQ(parsed.options.size, 4000);
        EXPECT_EQ(parsed.options.supersample, 3);
    }
}

} // namespace
} // namespace kt
