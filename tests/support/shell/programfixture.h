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

class ProgramTest : public DesktopTest {
protected:
    void SetUp() override { resetall(); }
    void TearDown() override
    {
        usescratchconfig();
        DesktopTest::TearDown();
    }

    // The program as it starts again, on an empty configuration folder.
    void resetall()
    {
        usescratchconfig();
        freshdesktop();
    }

    int run(const std::string& argument = "") { return WinMain(*desktop, nullptr, nullptr, argument.c_str(), SW_SHOW); }

    // A step of input once `pumps` more pumps went by (about two per loop
    // turn, so that what the previous step posted is handled first), or as
    // soon as the program waits for input.
    static void then(std::function<void()> step, int pumps = 6) { headless().input(std::move(step), pumps); }

    // Starts the program, pauses it, runs `body` in the paused program and
    // ends it.
    void paused(std::function<void()> body)
    {
        then([this] { click(); }, 10);
        then(std::move(body));
        then([this] { press(VK_ESCAPE); });
        EXPECT_EQ(run(), 0);
    }
    // Handles what is queued, as the loop would, without rendering.
    void settle()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!TranslateAcceleratorA(desktop->shell.g_hWnd, desktop->shell.g_hAccel, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
    }
    void command(UINT id)
    {
        SendMessageA(desktop->shell.g_hWnd, WM_COMMAND, id, 0);
        settle();
    }

    HWND mainwindow() const { return desktop->shell.g_hWnd; }
    void press(int key, UINT modifiers = 0, char32_t character = 0)
    {
        deliverkey(mainwindow(), key, modifiers, character);
    }
    void click() { deliverclick(mainwindow(), true, 10, 10); }
    UINT menustate(UINT id) { return GetMenuState(GetMenu(mainwindow()), id, MF_BYCOMMAND); }

    static int boxes(const std::string& text)
    {
        int count = 0;
        for (const auto& box : headless().messageboxes)
            count += box.text == text;
        return count;
    }
};

} // namespace kt::testing
