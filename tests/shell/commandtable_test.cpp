#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/commandtable.h"
#include "shell/resources.h"

namespace kt {
namespace {

// The menu as lines: "popup/item#id", with "-" for a separator and "*" for a
// checked item.
void flatten(const std::vector<MenuItemTemplate>& items, const std::string& path, std::vector<std::string>& out)
{
    for (const MenuItemTemplate& item : items) {
        if (!item.popup.empty()) {
            flatten(item.popup, path + menushowntext(item.text) + "/", out);
            continue;
        }
        out.push_back(item.text.empty() ? path + "-"
                                        : path + menushowntext(item.text) + "#" + std::to_string(item.id) +
                              (item.checked ? "*" : ""));
    }
}

TEST(CommandTable, MakesTheMenuAndTheKeysOfTheProgram)
{
    std::vector<std::string> menu;
    flatten(dravune3dmenu(), "", menu);
    const std::string file = "File      /", render = "Render      /", options = "Options      /", help = "Help/";
    const std::string log = render + "Hit Count Log Normalization/";
    const std::string perceptual = options + "Perceptual Palettes/";
    const std::vector<std::string> expected = {
        file + "Load Parameter File (L)#185",
        file + "Save Image and Parameters (S)#200",
        file + "Save Parameters Only (P)#190",
        file + "Export Picture... (Ctrl + E)#275",
        file + "-",
        file + "Exit (Esc)#205",
        "Edit      /Undo (Ctrl + Z)#285",
        "Edit      /Redo (Ctrl + Y)#290",
        "Edit      /-",
        "Edit      /Copy Picture (Ctrl + C)#500",
        render + "Render / Pause / Resume (R)#195",
        render + "-",
        render + "Normalize (N)#155",
        render + "Normalization Adjustment (A)#160",
        render + "-",
        render + "Equalize (E)#165",
        render + "-",
        log + "Hit Count Log (C)#170",
        log + "Hit Count Log Squared (Alt + C)#175",
        render + "-",
        render + "Live Density Tone#295",
        render + "Tone Settings...#315",
        render + "Quality/Off#350*",
        render + "Quality/10 Steps per Pixel#351",
        render + "Quality/20 Steps per Pixel#352",
        render + "Quality/50 Steps per Pixel#353",
        render + "Quality/100 Steps per Pixel#354",
        render + "Quality/200 Steps per Pixel#355",
        render + "-",
        render + "Histogram (H)#180",
        render + "-",
        render + "Density Tone (T)#260",
        render + "Depth Tone (D)#265",
        options + "-",
        options + "Parameters (F3)#110",
        options + "Random Parameter Set (F4)#115",
        options + "Previous Parameter Set (Alt + Left)#300",
        options + "Next Parameter Set (Alt + Right)#305",
        options + "Rotate Image (F5)#120",
        options + "Fit to Frame#280",
        options + "Fit Random Sets#310",
        options + "-",
        options + "Coloring Method (F6)#125",
        options + "Background Color (F7)#130",
        options + "Palette (F8)#135",
        options + "Default Palette 1 (F9)#140*",
        options + "Default Palette 2 (F10)#145",
        perceptual + "Inferno#400",
        perceptual + "Magma#401",
        perceptual + "Viridis#402",
        perceptual + "Cividis#403",
        perceptual + "Twilight#404",
        perceptual + "Grey#405",
        perceptual + "Fire#406",
        options + "Save Palette...#270",
        options + "-",
        options + "Clear Screen (F11)#150",
        "View      /Fit Window (W)#505",
        "View      /Full Screen (Ctrl + F)#510",
        help + "Help Topics (F1)#100",
        help + "-",
        help + "About (F2)#105",
    };
    EXPECT_EQ(menu, expected);

    std::map<std::pair<UINT, WORD>, WORD> keys;
    for (const ACCEL& a : dravune3daccelerators())
        EXPECT_TRUE(keys.emplace(std::pair{a.fVirt, a.key}, a.cmd).second) << "one command a key";
    const UINT key = FVIRTKEY, alt = FVIRTKEY | FALT, control = FVIRTKEY | FCONTROL;
    const UINT controlalt = FVIRTKEY | FCONTROL | FALT;
    const std::map<std::pair<UINT, WORD>, WORD> expectedkeys = {
        {{key, VK_F1}, cmdhelp},
        {{key, VK_F1 + 1}, cmdabout},
        {{key, VK_F1 + 2}, cmdparameters},
        {{key, VK_F1 + 3}, cmdrandom},
        {{key, VK_F1 + 4}, cmdrotate},
        {{key, VK_F1 + 5}, cmdcoloring},
        {{key, VK_F1 + 6}, cmdbackground},
        {{key, VK_F1 + 7}, cmdpalette},
        {{key, VK_F1 + 8}, cmdpalette1},
        {{key, VK_F1 + 9}, cmdpalette2},
        {{key, VK_F1 + 10}, cmdclearscreen},
        {{key, 'A'}, cmdnadjust},
        {{key, 'C'}, cmdlog},
        {{alt, 'C'}, cmdlogsquared},
        {{key, 'E'}, cmdequalize},
        {{key, 'H'}, cmdhistogram},
        {{key, 'T'}, cmdtone},
        {{key, 'D'}, cmddepthtone},
        {{key, 'L'}, cmdload},
        {{key, 'N'}, cmdnormalize},
        {{key, 'P'}, cmdsaveparameters},
        {{key, 'R'}, cmdrender},
        {{key, 'S'}, cmdsaveimage},
        {{key, VK_ESCAPE}, cmdexit},
        {{controlalt, 'D'}, cmddebug},
        {{controlalt, 'X'}, cmdfdlimit},
        {{alt, VK_LEFT}, cmdpreviousset},
        {{alt, VK_RIGHT}, cmdnextset},
        {{control, 'C'}, cmdcopypicture},
        {{key, 'W'}, cmdfitwindow},
        {{control, 'F'}, cmdfullscreen},
        {{control, 'E'}, cmdexport},
        {{control, 'Z'}, cmdundo},
        {{control, 'Y'}, cmdredo},
        {{control | FSHIFT, 'Z'}, cmdredo},
    };
    EXPECT_EQ(keys, expectedkeys);

    for (const CommandEntry& entry : commandtable())
        EXPECT_NE(entry.run, nullptr) << entry.id;
}

// Every item of every popup has an Alt letter, none shared within its popup,
// and no letter of the bar is an Alt key of the accelerators, which would
// take it before the menu could.
void expectownletters(const std::vector<MenuItemTemplate>& items, const std::string& where)
{
    std::map<char, std::string> letters;
    for (const MenuItemTemplate& item : items) {
        if (item.text.empty())
            continue;
        const char letter = menumnemonic(item.text);
        EXPECT_NE(letter, 0) << where << menushowntext(item.text);
        if (letter) {
            const auto [other, fresh] = letters.emplace(letter, item.text);
            EXPECT_TRUE(fresh) << where << item.text << " and " << other->second;
        }
        if (!item.popup.empty())
            expectownletters(item.popup, where + menushowntext(item.text) + "/");
    }
}

TEST(CommandTable, EveryMenuItemHasAnAltLetterOfItsOwn)
{
    expectownletters(dravune3dmenu(), "");
    for (const MenuItemTemplate& popup : dravune3dmenu())
        for (const ACCEL& key : dravune3daccelerators())
            EXPECT_FALSE((key.fVirt & FALT) && !(key.fVirt & FCONTROL) && key.key == menumnemonic(popup.text))
                << popup.text;
}

} // namespace
} // namespace kt
