#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "image/filters.h"
#include "platform/dialog.h"
#include "shell/desktop.h"
#include "shell/nadjustdialog.h"
#include "shell/tonedialog.h"
#include "shell/view.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

// The tone settings' and the normalization adjustment's sliders recolour the
// shown picture from its hit counts as they move, without rendering.
class LiveColourTest : public testing::ProgramTest {
protected:
    std::vector<std::uint32_t> shown()
    {
        const Surface& s = *shownimage(*desktop);
        return {s.bits(), s.bits() + static_cast<std::size_t>(s.width()) * s.height()};
    }
    std::vector<float> hits()
    {
        const EngineState& s = desktop->engine;
        return {s.hitcount.get(), s.hitcount.get() + static_cast<std::size_t>(s.res) * s.res};
    }
    static std::string status(HWND dialog)
    {
        char first[128], second[128];
        GetDlgItemTextA(dialog, tonestatus, first, sizeof first);
        GetDlgItemTextA(dialog, tonestatus + 1, second, sizeof second);
        return std::string(first) + " " + second;
    }
};

// Whether the sliders change what is shown, and what the dialog says, for
// each way the picture can be shown; the steps and hit counts stay, and
// Cancel gives back the very pixels.
TEST_F(LiveColourTest, ToneSlidersRecolourOnlyAShownToneAndCancelGivesItBack)
{
    const struct Case {
        const char* name;
        int cmethod;
        bool live;      // the live tone on before rendering
        int filter;     // a key pressed once paused, or 0
        bool rendering; // the dialog opened while rendering
        bool recolours;
        const char* says; // in the dialog's status
    } cases[] = {
        {"density tone applied", 0, false, 'T', false, true, "follows the sliders"},
        {"live tone, paused", 0, true, 0, false, true, "follows the sliders"},
        {"live tone, rendering", 0, true, 0, true, true, "follows the sliders"},
        {"normalized", 0, false, 'N', false, false, "No density tone is shown"},
        {"rendering without the live tone", 0, false, 0, true, false, "No density tone is shown"},
        {"coloured by depth", 1, true, 0, false, false, "Coloured by depth"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetall();
        // The live tone is switched on while paused, then rendering goes on.
        then([&] { click(); }, 10);
        then([&] {
            desktop->engine.cmethod = c.cmethod;
            if (c.live)
                command(cmdlivetone);
            click();
        });
        then(
            [&] {
                if (!c.rendering)
                    click();
            },
            20);
        then([&] {
            if (c.filter)
                press(c.filter);
            settle();
            const auto before = shown();
            const auto counts = hits();
            const std::uint32_t steps = desktop->engine.itercount;
            std::string said;
            std::vector<std::vector<std::uint32_t>> moved;
            headless().dialogscripts.push_back([&](HWND dialog) {
                said = status(dialog);
                EXPECT_EQ(dialog->focus, GetDlgItem(dialog, brightnessslider));
                for (const auto& [slider, position] :
                     {std::pair{brightnessslider, 30}, {brightnessslider, 5}, {gammaslider, 35}}) {
                    usermovestrackbar(dialog, slider, position);
                    moved.push_back(shown());
                }
                userclicks(dialog, IDCANCEL);
            });
            command(cmdtonesettings);
            EXPECT_NE(said.find(c.says), std::string::npos) << said;
            ASSERT_EQ(moved.size(), 3u);
            for (const auto& pixels : moved)
                EXPECT_EQ(pixels != before, c.recolours);
            EXPECT_EQ(moved[0] != moved[1], c.recolours) << "each position its own colours";
            EXPECT_EQ(shown(), before) << "Cancel gives back the picture";
            EXPECT_EQ(desktop->tone.brightness, 1.0);
            EXPECT_EQ(desktop->tone.gamma, 1.0);
            EXPECT_EQ(desktop->engine.itercount, steps) << "nothing rendered";
            EXPECT_EQ(hits(), counts);
            if (desktop->engine.okicon)
                click();
        });
        then([&] { press(VK_ESCAPE); });
        EXPECT_EQ(run(), 0);
    }
}

// OK keeps what the sliders set, from one end of their log scales to the
// other; the shown tone is that of the settings, and one Undo takes the
// dialog's whole change back.
TEST_F(LiveColourTest, ToneSettingsOkKeepsTheScalesValuesAndUndoesInOneStep)
{
    const struct {
        int brightness, gamma;
        double brightnessvalue, gammavalue;
    } cases[] = {{0, tonepositions, 0.01, 10}, {tonepositions, 0, 100, 0.1}, {30, 10, 10, std::sqrt(0.1)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.brightness);
        resetall();
        paused([&] {
            press('T');
            settle();
            const auto before = shown();
            headless().dialogscripts.push_back([&](HWND dialog) {
                usermovestrackbar(dialog, brightnessslider, 25);
                usermovestrackbar(dialog, brightnessslider, c.brightness);
                usermovestrackbar(dialog, gammaslider, c.gamma);
                userclicks(dialog, IDOK);
            });
            command(cmdtonesettings);
            EXPECT_NEAR(desktop->tone.brightness, c.brightnessvalue, 1e-12 * c.brightnessvalue);
            EXPECT_NEAR(desktop->tone.gamma, c.gammavalue, 1e-12 * c.gammavalue);
            EXPECT_NE(shown(), before);
            const auto kept = shown();
            press('T');
            settle();
            EXPECT_EQ(shown(), kept) << "Density Tone draws with the settings kept";
            EXPECT_EQ(desktoppicture(*desktop).brightness, desktop->tone.brightness) << "and exports take them";
            EXPECT_EQ(desktoppicture(*desktop).gamma, desktop->tone.gamma);
            press('Z', MOD_CONTROL);
            settle();
            EXPECT_EQ(shown(), before) << "one step back";
            EXPECT_EQ(desktop->tone.brightness, 1.0) << "with the settings it was toned with";
        });
    }
}

// The adjustment slider normalizes a normalized picture again as it moves;
// after any other filter it only sets the adjustment for the next Normalize.
TEST_F(LiveColourTest, NormalizationAdjustmentRenormalizesAsTheSliderMoves)
{
    const struct {
        int filter;
        bool follows;
    } cases[] = {{'N', true}, {'E', false}, {'C', false}, {'T', false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.filter));
        resetall();
        paused([&] {
            press(c.filter);
            settle();
            const auto before = shown();
            const auto counts = hits();
            const std::uint32_t steps = desktop->engine.itercount;
            std::vector<std::vector<std::uint32_t>> at; // positions 0, 10, 5
            headless().dialogscripts.push_back([&](HWND dialog) {
                for (int position : {0, 10, 5}) {
                    usermovestrackbar(dialog, nadjustslider, position);
                    at.push_back(shown());
                }
                usermovestrackbar(dialog, nadjustslider, 0);
                userclicks(dialog, IDOK);
            });
            press('A');
            settle();
            ASSERT_EQ(at.size(), 3u);
            EXPECT_EQ(at[0] != before, c.follows);
            EXPECT_EQ(at[1] != at[0], c.follows);
            EXPECT_EQ(at[2], before) << "back at 5, the picture it was";
            EXPECT_EQ(desktop->filters.nadjust, 0);
            EXPECT_EQ(desktop->engine.itercount, steps);
            EXPECT_EQ(hits(), counts);
            if (!c.follows)
                return;
            EXPECT_EQ(shown(), at[0]);
            press('Z', MOD_CONTROL);
            settle();
            EXPECT_EQ(shown(), before) << "the dialog's change is one step back";
        });
    }
}

} // namespace
} // namespace kt
