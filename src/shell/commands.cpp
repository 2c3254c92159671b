#include "shell/commands.h"

#include "engine/enginestate.h"
#include "shell/resources.h"

namespace kt {

namespace {

constexpr UINT pausedonly[] = {
    cmdload,      cmdsaveimage, cmdsaveparameters, cmdexit,       cmdnormalize,  cmdequalize,
    cmdhistogram, cmdparameters, cmdrandom,        cmdrotate,     cmdcoloring,   cmdbackground,
    cmdpalette,   cmdpalette1,  cmdpalette2,       cmdclearscreen, cmdhelp,      cmdabout,
};
// Filters that work on hit counts, not on depth colours.
constexpr UINT hitcountonly[] = {cmdnadjust, cmdlogsquared, cmdlog};

void renderpauseresume(HWND hWnd)
{
    EngineState& s = engine;
    s.okicon = 1 - s.okicon;
    setmenustate(hWnd, s.okicon == 1);
    if (!s.okicon)
        SetCursor(s.cross);
}

} // namespace

void setmenustate(HWND hWnd, bool rendering)
{
    HMENU menu = GetMenu(hWnd);
    EnableMenuItem(menu, cmdrender, MF_BYCOMMAND | MF_ENABLED);
    for (UINT id : pausedonly)
        EnableMenuItem(menu, id, MF_BYCOMMAND | (rendering ? MF_GRAYED : MF_ENABLED));
    const bool hitcounts = engine.cmethod == 0;
    for (UINT id : hitcountonly)
        EnableMenuItem(menu, id, MF_BYCOMMAND | (!rendering && hitcounts ? MF_ENABLED : MF_GRAYED));
}

void maincommand(HWND hWnd, UINT id)
{
    if (id == cmdrender) {
        renderpauseresume(hWnd);
        return;
    }
    if (engine.okicon)
        return;
    switch (id) {
    case cmdexit:
        PostMessageA(hWnd, WM_DESTROY, 0, 0);
        break;
    default:
        break;
    }
}

} // namespace kt
