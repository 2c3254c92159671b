#include <gtest/gtest.h>

#include "platform/backend.h"
#include "support/platform/platformreset.h"

namespace kt {
namespace {

const MenuTemplate testmenu = {
    MenuItemTemplate{
        0,
        "File",
        false,
        {MenuItemTemplate{10, "Open", false, {}}, MenuItemTemplate{}, MenuItemTemplate{11, "Quit", true, {}}}},
    MenuItemTemplate{
        0, "Nested", false, {MenuItemTemplate{0, "More", false, {MenuItemTemplate{12, "Deep", false, {}}}}}},
};

const AcceleratorTable testkeys = {
    {FVIRTKEY, 'O', 10},
    {FVIRTKEY | FALT, 'O', 12},
    {FVIRTKEY | FCONTROL | FALT, 'D', 99},
};

std::vector<UINT> commands;

LRESULT recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        commands.push_back(LOWORD(wParam));
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::resetplatform();
        commands.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = recorder;
        wc.menu = &testmenu;
        wc.lpszClassName = "WithMenu";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "WithMenu", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override { testing::resetplatform(); }

    int key(int vk, UINT modifiers)
    {
        MSG msg{window, (modifiers & MOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), 0, modifiers, 0};
        return TranslateAcceleratorA(window, LoadAcceleratorsA(testkeys), &msg);
    }
    HWND window = nullptr;
};

TEST_F(MenuTest, ItemsAreFoundAtAnyDepthAndKeepTheirState)
{
    HMENU menu = GetMenu(window);
    EXPECT_EQ(GetMenuState(menu, 11, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(EnableMenuItem(menu, 12, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(menu, 12, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(CheckMenuItem(menu, 11, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 11, MF_BYCOMMAND), 0u);
    EXPECT_EQ(EnableMenuItem(menu, 77, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_EQ(findmenuitem(menu, 0), nullptr) << "separators and popups have no command";
}

TEST_F(MenuTest, AcceleratorsNeedTheirExactModifiers)
{
    EXPECT_EQ(key('O', 0), 1);
    EXPECT_EQ(key('O', MOD_ALT), 1);
    EXPECT_EQ(key('O', MOD_SHIFT), 0) << "a key listed alone works only without Shift, Ctrl and Alt";
    EXPECT_EQ(key('D', MOD_CONTROL), 0);
    EXPECT_EQ(key('D', MOD_CONTROL | MOD_ALT), 1);
    EXPECT_EQ(commands, (std::vector<UINT>{10, 12, 99}));
}

TEST_F(MenuTest, GreyedItemsAndDisabledWindowsTakeTheKeyButRunNothing)
{
    EnableMenuItem(GetMenu(window), 10, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(key('O', 0), 1);
    EXPECT_TRUE(commands.empty());
    EnableWindow(window, 0);
    EXPECT_EQ(key('D', MOD_CONTROL | MOD_ALT), 1);
    EXPECT_TRUE(commands.empty());
}

TEST_F(MenuTest, MenuCommandsOfGreyedItemsAreNotDelivered)
{
    EnableMenuItem(GetMenu(window), 11, MF_BYCOMMAND | MF_GRAYED);
    delivermenucommand(window, 11);
    delivermenucommand(window, 10);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 10u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
} // namespace kt
