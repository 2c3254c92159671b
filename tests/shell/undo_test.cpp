#include <gtest/gtest.h>

#include <vector>

#include "image/palettes.h"
#include "shell/desktop.h"
#include "shell/resources.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

class UndoTest : public testing::ProgramTest {
protected:
    struct Shown {
        std::vector<std::uint32_t> pixels;
        std::vector<float> hits;
        std::uint32_t steps;
        int newimage;
        bool operator==(const Shown&) const = default;
    };
    Shown shown() const
    {
        const EngineState& s = desktop->engine;
        const std::size_t count = static_cast<std::size_t>(s.res) * s.res;
        return {{s.g_vhdc->bits(), s.g_vhdc->bits() + count}, {s.hitcount.get(), s.hitcount.get() + count},
                s.itercount, s.newimage};
    }
    void undo() { press('Z', MOD_CONTROL), settle(); }
    void redo(UINT modifiers = MOD_CONTROL, int key = 'Y') { press(key, modifiers), settle(); }
};

// Undo of a blank or a filter gives back the exact picture and hit counts,
// to render on from; redo takes the command's picture again.
TEST_F(UndoTest, GivesBackThePictureABlankOrAFilterReplaced)
{
    paused([&] {
        for (const UINT command : {cmdclearscreen, cmdnormalize, cmdequalize, cmdlog, cmdtone}) {
            SCOPED_TRACE(command);
            const Shown before = shown();
            this->command(command);
            const Shown after = shown();
            ASSERT_NE(after.pixels, before.pixels);
            undo();
            EXPECT_EQ(shown(), before);
            redo(MOD_CONTROL | MOD_SHIFT, 'Z');
            EXPECT_EQ(shown(), after);
            undo();
            EXPECT_EQ(shown(), before);
        }
    });
}

TEST_F(UndoTest, TakesBackSetsAndColoursAndKeepsOnlyTheLastSteps)
{
    paused([&] {
        EXPECT_EQ(menustate(cmdundo) & MF_GRAYED, MF_GRAYED) << "nothing to undo yet";
        const Shown first = shown();
        command(cmdpalette2);
        EXPECT_EQ(desktop->engine.palette, defpal2);
        undo();
        EXPECT_EQ(desktop->engine.palette, defpal1);
        EXPECT_EQ(menustate(cmdpalette1) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(shown(), first);
        redo();
        EXPECT_EQ(desktop->engine.palette, defpal2);
        EXPECT_EQ(menustate(cmdpalette2) & MF_CHECKED, MF_CHECKED);

        // A cancelled dialog changed nothing, so there is nothing to undo for it.
        command(cmdrotate);
        undo();
        EXPECT_EQ(desktop->engine.palette, defpal1);

        for (int k = 0; k < 2 * static_cast<int>(UndoHistory::keptsteps); ++k)
            command(k % 2 ? cmdpalette1 : cmdpalette2);
        int undone = 0;
        while (menustate(cmdundo) & MF_GRAYED ? false : (undo(), true))
            ++undone;
        EXPECT_EQ(undone, static_cast<int>(UndoHistory::keptsteps));
    });
}

} // namespace
} // namespace kt
