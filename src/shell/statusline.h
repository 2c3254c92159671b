#pragma once
// The main window's status line: whether the picture is rendering, how far
// it has come and how fast, its largest hit count and its size.
#include <cstdint>
#include <string>

#include "engine/enginestate.h"
#include "platform/window.h"
#include "shell/shellstate.h"

namespace kt {

struct StatusFigures {
    bool rendering = false;
    std::uint64_t steps = 0;
    double stepspersecond = 0;
    std::uint32_t hitmax = 0;
    int res = 0;
    std::uint64_t target = 0; // the quality target's steps; 0: none
};

std::string statustext(const StatusFigures& figures);

// Brings the line up to date: while rendering at most at the display's rate,
// at once with `now`.
// With a quality target, how far it has come too.
void showstatus(StatusClock& c, const EngineState& s, HWND hWnd, bool now, std::uint64_t target = 0);

} // namespace kt
