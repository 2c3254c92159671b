#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "shell/desktop.h"
#include "support/base/tempdir.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

using namespace std::chrono_literals;

constexpr const char* question = "The picture has not been saved. Exit anyway?";

class UnsavedRenderTest : public testing::ProgramTest {
protected:
    testing::TempDir dir;
};

// Ending the program throws the render away: beyond ten seconds of rendering
// not saved, Esc and closing the window ask first, and No keeps the program
// and its picture as they were.
TEST_F(UnsavedRenderTest, EndingAfterALongUnsavedRenderAsksAndNoKeepsThePicture)
{
    struct Case {
        std::string name;
        RenderClock::duration rendered;
        std::string savedas; // saved first under this name, or not saved
        std::function<void(testing::ProgramTest&, HWND)> end;
        bool asks;
    };
    const auto esc = [](testing::ProgramTest&, HWND hWnd) { deliverkey(hWnd, VK_ESCAPE, 0, 0); };
    const auto close = [](testing::ProgramTest&, HWND hWnd) { deliverclose(hWnd); };
    const auto menu = [](testing::ProgramTest&, HWND hWnd) { delivermenucommand(hWnd, cmdexit); };
    const Case cases[] = {
        {"Esc after 11 s", 11s, "", esc, true},
        {"closing after 11 s", 11s, "", close, true},
        {"Exit from the menu after 11 s", 11s, "", menu, true},
        {"Esc after 9 s", 9s, "", esc, false},
        {"Esc after saving a Targa", 11s, "star.tga", esc, false},
        {"closing after saving a PNG", 11s, "star.png", close, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetall();
        paused([&] {
            EXPECT_GT(desktop->shell.unsaved.rendered, 0s) << "the batches before the pause count";
            desktop->shell.unsaved.rendered = c.rendered;
            if (!c.savedas.empty()) {
                headless().fileanswers.push_back(dir.file(c.savedas));
                press('S');
                settle();
                EXPECT_EQ(desktop->shell.unsaved.rendered, 0s);
            }
            const std::uint32_t steps = desktop->engine.itercount;
            headless().answers.push_back(IDNO);
            c.end(*this, mainwindow());
            if (!c.asks)
                return; // the loop ends the program
            settle();
            EXPECT_EQ(boxes(question), 1);
            {
                EXPECT_TRUE(IsWindow(mainwindow()));
                EXPECT_FALSE(desktop->shell.closing);
                EXPECT_EQ(desktop->engine.itercount, steps);
                EXPECT_EQ(desktop->engine.hcres, desktop->engine.res) << "the hit counts stay";
                // The fixture's own Esc then gets the question's default, Yes.
            }
        });
        EXPECT_EQ(boxes(question), c.asks ? 2 : 0);
        EXPECT_TRUE(desktop->shell.closing);
    }
}

} // namespace
} // namespace kt
