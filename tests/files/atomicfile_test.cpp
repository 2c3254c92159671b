// Saving over files the user relies on: one the user may not write stays as
// it is, and a symbolic link stays a link to the file it points to.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "files/paramfiles.h"
#include "files/saveerrors.h"
#include "support/files/filesfixture.h"
#include "support/base/tempdir.h"
#include "support/base/unprivileged.h"

namespace kt {
namespace {

namespace fs = std::filesystem;

class AtomicSaveTest : public testing::FilesTest {
protected:
    AtomicSaveTest() { engine.icon[0].a = 1.25; } // differs from what the old files hold

    // Every file under the folder, links included, by path.
    std::vector<std::string> tree() const
    {
        std::vector<std::string> paths;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            paths.push_back(entry.path().lexically_relative(dir.path()).string());
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    testing::TempDir dir;
    const std::vector<std::uint8_t> old = std::vector<std::uint8_t>(130, 7);
};

TEST_F(AtomicSaveTest, AFileTheUserMayNotWriteIsNotReplaced)
{
    const struct {
        const char* what;
        fs::perms mode;
        bool needsroot; // only root can give the file to another user
    } cases[] = {
        {"read-only", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, false},
        {"another user's", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read, true},
    };
    // Anyone may add files to the folder and rename over its files.
    fs::permissions(dir.path(), fs::perms::all);
    for (const auto& c : cases) {
        if (c.needsroot && ::geteuid() != 0)
            continue;
        const std::string path = dir.file("kept.dv3");
        testing::writebytes(path, old);
        fs::permissions(path, c.mode);
        filenames.sdv3file = path;
        EXPECT_EQ(testing::asunprivileged([this] { return writedv3(ctx, engine, filenames, 0); }), saveopenfailed)
            << c.what;
        EXPECT_EQ(testing::readbytes(path), old) << c.what;
        EXPECT_EQ(fs::status(path).permissions(), c.mode) << c.what;
        EXPECT_EQ(tree(), std::vector<std::string>{"kept.dv3"}) << c.what << ": no temporary is left";
        fs::remove(path);
    }
}

TEST_F(AtomicSaveTest, SavingThroughALinkReplacesTheFileItPointsTo)
{
    fs::create_directory(dir.path() / "sub");
    const std::string real = dir.file("sub/real.dv3");
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // name, what it points to
        bool exists;
    } cases[] = {
        {"absolute", {{"link.dv3", real}}, true},
        {"relative", {{"link.dv3", "sub/real.dv3"}}, true},
        {"chained", {{"link.dv3", "middle.dv3"}, {"middle.dv3", "sub/real.dv3"}}, true},
        {"dangling", {{"link.dv3", "sub/real.dv3"}}, false},
    };
    for (const auto& c : cases) {
        if (c.exists)
            testing::writebytes(real, old);
        for (const auto& [name, target] : c.links)
            fs::create_symlink(target, dir.path() / name);
        const auto before = tree();
        filenames.sdv3file = dir.file("link.dv3");
        ASSERT_EQ(writedv3(ctx, engine, filenames, 0), savedone) << c.what;
        for (const auto& link : c.links)
            EXPECT_TRUE(fs::is_symlink(dir.path() / link.first)) << c.what << ": " << link.first << " stays a link";
        const auto saved = testing::readbytes(real);
        ASSERT_EQ(saved.size(), 130u) << c.what;
        EXPECT_EQ(decodedv3(saved.data()).set.a, 1.25) << c.what;
        auto expected = before;
        if (!c.exists) {
            expected.push_back("sub/real.dv3");
            std::sort(expected.begin(), expected.end());
        }
        EXPECT_EQ(tree(), expected) << c.what << ": no temporary is left";
        for (const auto& link : c.links)
            fs::remove(dir.path() / link.first);
        fs::remove(real);
    }
}

TEST_F(AtomicSaveTest, LinksInACircleCannotBeSavedThrough)
{
    fs::create_symlink("b.dv3", dir.path() / "a.dv3");
    fs::create_symlink("a.dv3", dir.path() / "b.dv3");
    filenames.sdv3file = dir.file("a.dv3");
    EXPECT_EQ(writedv3(ctx, engine, filenames, 0), saveopenfailed);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "a.dv3"));
    EXPECT_EQ(tree(), (std::vector<std::string>{"a.dv3", "b.dv3"}));
}

} // namespace
} // namespace kt
