#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/render/batchrender.h"
#include "app/render/explore.h"
#include "app/render/gallerypage.h"
#include "support/batchrenderfixture.h"
#include "support/enginefixture.h"
#include "support/tempdir.h"

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
const std::vector<std::string> look = {"--formula", "2",         "--size",   "200", "--iterations", "20k",
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
        EXPECT_EQ(testing::readbytes(dir.file("again.png")), testing::readbytes(folder + "/" + name + ".png"))
            << name;
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

TEST_F(ExploreTest, TheSameArgumentsGiveTheSameFilesOnAnyNumberOfThreads)
{
    const auto args = with(look, {"--explore", "5", "--seed", "7", "--coloring", "z"});
    ASSERT_EQ(run(with(args, {"--threads", "1", "-o", dir.file("one")})), 0);
    ASSERT_EQ(run(with(args, {"--threads", "3", "-o", dir.file("three")})), 0);
    const auto one = files(dir.file("one"));
    EXPECT_EQ(one.size(), 12u) << "five pictures, five sets, the page and its data";
    EXPECT_EQ(one, files(dir.file("three")));
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
    // The failed run kept its finished entry, wrote nothing after the
    // failure and left no temporary behind.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"001.dv3", "001.png", "002.png", "notes.txt"}));
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
    const std::vector<std::string> gallery = {"--explore", "3", "--seed", "5", "--size", "200", "--iterations", "60k",
                                              "--rotate", "0,30,0"};
    ASSERT_EQ(run(with(gallery, {"-o", folder})), 0) << err.str();
    ASSERT_EQ(run(with(gallery, {"-o", dir.file("one"), "--threads", "1"})), 0) << err.str();
    EXPECT_EQ(files(folder), files(dir.file("one")));
    std::ifstream file(folder + "/gallery.json");
    std::stringstream text;
    text << file.rdbuf();
    const std::string json = text.str();
    for (const char* setting : {"\"tone\": \"density\"", "\"fit_margin\": 0.05", "\"rotation\": [0, 30, 0]",
                                "\"palette\": \"1\"", "\"size\": 200", "\"iterations\": 60000"})
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
