#pragma once
// Runs the desktop program on the headless backend: a test scripts the
// input, starts the program and looks at what it showed.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/enginestate.h"
#include "platform/backend.h"
#include "support/platform/scriptedbackend.h"
#include "shell/resources.h"
#include "shell/shellstate.h"
#include "shell/startup.h"
#include "support/shell/desktopstatefixture.h"
#include "support/base/scratchconfig.h"

namespace kt::testing {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { resetall(); }
    void TearDown() override { resetall(); }

    static void resetall()
    {
        usescratchconfig();
        resetprogram();
    }

    int run(const std::string& argument = "") { return WinMain(nullptr, nullptr, argument.c_str(), SW_SHOW); }

    // A step of input once `pumps` more pumps went by (about two per loop
    // turn, so that what the previous step posted is handled first), or as
    // soon as the program waits for input.
    static void then(std::function<void()> step, int pumps = 6) { headless().input(std::move(step), pumps); }

    // Starts the program, pauses it, runs `body` in the paused program and
    // ends it.
    void paused(std::function<void()> body)
    {
        then([] { click(); }, 10);
        then(std::move(body));
        then([] { press(VK_ESCAPE); });
        EXPECT_EQ(run(), 0);
    }
    // Handles what is queued, as the loop would, without rendering.
    static void settle()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!TranslateAcceleratorA(shell.g_hWnd, shell.g_hAccel, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
    }
    static void command(UINT id)
    {
        SendMessageA(shell.g_hWnd, WM_COMMAND, id, 0);
        settle();
    }

    static HWND mainwindow() { return shell.g_hWnd; }
    static void press(int key, UINT modifiers = 0, char32_t character = 0)
    {
        deliverkey(mainwindow(), key, modifiers, character);
    }
    static void click() { deliverclick(mainwindow(), true, 10, 10); }
    static UINT menustate(UINT id) { return GetMenuState(GetMenu(mainwindow()), id, MF_BYCOMMAND); }

    static int boxes(const std::string& text)
    {
        int count = 0;
        for (const auto& box : headless().messageboxes)
            count += box.text == text;
        return count;
    }
};

} // namespace kt::testing
