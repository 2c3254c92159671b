#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>

#include "base/surface.h"
#include "engine/driver.h"
#include "engine/filenames.h"
#include "engine/rendercontext.h"
#include "files/paramfiles.h"
#include "files/tga.h"
#include "support/shell/programfixture.h"
#include "support/base/tempdir.h"
#include "shell/desktop.h"

namespace kt {
namespace {

// The desktop program turning the icon on several threads.
class RotatedRenderTest : public testing::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        desktop->context.workers.resize(3);
    }

    // A rotated set, in a file for the desktop program to open.
    std::string rotatedset()
    {
        EngineState set;
        set.rot[0] = VOXEL{30, 45, 60};
        set.rotationorder = 4; // ZXY
        FileNames names;
        names.sdv3file = dir.file("turned.dv3");
        EXPECT_EQ(writedv3(desktop->context, set, names, 0), savedone);
        return names.sdv3file;
    }

    // The set's picture after `steps` steps, rendered on one thread by the
    // engine alone, as the batch renderer renders it.
    void renderalone(const std::string& set, std::uint32_t steps, const std::string& tga)
    {
        RenderContext ctx(1);
        EngineState s;
        ASSERT_EQ(loaddv3(s, set), loaddone);
        Surface picture(s.res, s.res);
        s.g_vhdc = &picture;
        for (std::uint32_t done = 0; done < steps; done += batchsteps)
            ASSERT_EQ(imagebatch(ctx, s), 0);
        EXPECT_EQ(writetga(ctx, &picture, s.res, tga), savedone);
    }

    // Whether every thread of the process but this one sleeps: a thread
    // left running or spinning would show as running.
    bool othersasleep()
    {
        const std::string self = std::to_string(gettid());
        DIR* tasks = opendir("/proc/self/task");
        bool asleep = true;
        while (dirent* entry = readdir(tasks)) {
            const std::string tid = entry->d_name;
            if (tid == "." || tid == ".." || tid == self)
                continue;
            std::ifstream stat("/proc/self/task/" + tid + "/stat");
            std::string line;
            std::getline(stat, line);
            const auto close = line.rfind(')');
            asleep = asleep && close != std::string::npos && line.size() > close + 2 && line[close + 2] != 'R';
        }
        closedir(tasks);
        return asleep;
    }

    testing::TempDir dir;
};

TEST_F(RotatedRenderTest, PictureIsTheEnginesOnOneThreadAndPausingLeavesNoThreadRunning)
{
    const std::string set = rotatedset();
    std::uint32_t steps = 0;
    bool asleep = false;
    then([&] { click(); }, 40);
    then([&] {
        steps = desktop->engine.itercount;
        desktop->filenames.tgafile = dir.file("desktop.tga");
        EXPECT_EQ(writetga(desktop->context, desktop->engine.g_vhdc, desktop->engine.res, desktop->filenames.tgafile), 0);
        for (int look = 0; look < 100 && !asleep; ++look) {
            asleep = othersasleep();
            usleep(10000);
        }
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(set), 0);
    EXPECT_TRUE(asleep) << "a worker thread kept running while paused";
    ASSERT_GT(steps, 2000u) << "a few batches were plotted";

    renderalone(set, steps, dir.file("batch.tga"));
    const auto desktop = testing::readbytes(dir.file("desktop.tga"));
    EXPECT_FALSE(desktop.empty());
    EXPECT_TRUE(desktop == testing::readbytes(dir.file("batch.tga")));
}

TEST_F(RotatedRenderTest, ClosingTheWindowWhileRotatedRenderingRunsEndsCleanly)
{
    const std::string set = rotatedset();
    then([&] { deliverclose(mainwindow()); }, 30);
    EXPECT_EQ(run(set), 0);
    EXPECT_EQ(desktop->engine.hitcount, nullptr);
    EXPECT_EQ(desktop->engine.g_vhdc, nullptr);
}

} // namespace
} // namespace kt
