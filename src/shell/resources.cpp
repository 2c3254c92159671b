#include "shell/resources.h"

namespace kt {

namespace {
MenuItemTemplate item(UINT id, const char* text, bool checked = false)
{
    return MenuItemTemplate{id, text, checked, {}};
}
MenuItemTemplate separator()
{
    return MenuItemTemplate{};
}
MenuItemTemplate popup(const char* text, std::vector<MenuItemTemplate> items)
{
    return MenuItemTemplate{0, text, false, std::move(items)};
}
} // namespace

const MenuTemplate& dravune3dmenu()
{
    static const MenuTemplate menu = {
        popup("File      ",
              {
                  item(cmdload, "Load Parameter File (L)"),
                  item(cmdsaveimage, "Save Image and Parameters (S)"),
                  item(cmdsaveparameters, "Save Parameters Only (P)"),
                  separator(),
                  item(cmdexit, "Exit (Esc)"),
              }),
        popup("Render      ",
              {
                  item(cmdrender, "Render / Pause / Resume (R)"),
                  separator(),
                  item(cmdnormalize, "Normalize (N)"),
                  item(cmdnadjust, "Normalization Adjustment (A)"),
                  separator(),
                  item(cmdequalize, "Equalize (E)"),
                  separator(),
                  popup("Hit Count Log Normalization",
                        {
                            item(cmdlog, "Hit Count Log (C)"),
                            item(cmdlogsquared, "Hit Count Log Squared (Alt + C)"),
                        }),
                  separator(),
                  item(cmdhistogram, "Histogram (H)"),
                  separator(),
                  item(cmdtone, "Density Tone (T)"),
              }),
        popup("Options      ",
              {
                  separator(),
                  item(cmdparameters, "Parameters (F3)"),
                  item(cmdrandom, "Random Parameter Set (F4)"),
                  item(cmdpreviousset, "Previous Parameter Set (Alt + Left)"),
                  item(cmdnextset, "Next Parameter Set (Alt + Right)"),
                  item(cmdrotate, "Rotate Image (F5)"),
                  separator(),
                  item(cmdcoloring, "Coloring Method (F6)"),
                  item(cmdbackground, "Background Color (F7)"),
                  item(cmdpalette, "Palette (F8)"),
                  item(cmdpalette1, "Default Palette 1 (F9)", true),
                  item(cmdpalette2, "Default Palette 2 (F10)"),
                  separator(),
                  item(cmdclearscreen, "Clear Screen (F11)"),
              }),
        popup("Help",
              {
                  item(cmdhelp, "Help Topics (F1)"),
                  separator(),
                  item(cmdabout, "About (F2)"),
              }),
    };
    return menu;
}

const AcceleratorTable& dravune3daccelerators()
{
    auto key = [](int vk, UINT cmd, UINT modifiers = 0) {
        return ACCEL{FVIRTKEY | modifiers, static_cast<WORD>(vk), static_cast<WORD>(cmd)};
    };
    static const AcceleratorTable table = {
        key(VK_F1, cmdhelp),          key(VK_F1 + 1, cmdabout),     key(VK_F1 + 2, cmdparameters),
        key(VK_F1 + 3, cmdrandom),    key(VK_F1 + 4, cmdrotate),    key(VK_F1 + 5, cmdcoloring),
        key(VK_F1 + 6, cmdbackground), key(VK_F1 + 7, cmdpalette),  key(VK_F1 + 8, cmdpalette1),
        key(VK_F1 + 9, cmdpalette2),  key(VK_F1 + 10, cmdclearscreen), key('A', cmdnadjust),
        key('C', cmdlog),             key('C', cmdlogsquared, FALT), key('E', cmdequalize),
        key('H', cmdhistogram),       key('T', cmdtone),       key('L', cmdload),            key('N', cmdnormalize),
        key('P', cmdsaveparameters),  key('R', cmdrender),          key('S', cmdsaveimage),
        key(VK_ESCAPE, cmdexit),      key('D', cmddebug, FCONTROL | FALT), key('X', cmdfdlimit, FCONTROL | FALT),
        key(VK_LEFT, cmdpreviousset, FALT), key(VK_RIGHT, cmdnextset, FALT),
    };
    return table;
}

} // namespace kt
