#include "engine/driver.h"

#include <cstring>

#include "engine/enginestate.h"
#include "engine/formulas.h"
#include "platform/memory.h"
#include "platform/messagebox.h"

namespace kt {

namespace {

bool providehitcountbuffer(EngineState& s)
{
    const std::size_t bytes = static_cast<std::size_t>(s.res) * s.res * sizeof(float);
    if (s.hcres == s.res && s.hitcount) {
        std::memset(s.hitcount, 0, bytes);
        return true;
    }
    if (s.hitcount)
        s.hitcount = static_cast<float*>(LocalFree(s.hitcount));
    s.hcres = 0;
    s.hitcount = static_cast<float*>(LocalAlloc(LMEM_ZEROINIT, bytes));
    if (!s.hitcount)
        return false;
    s.hcres = s.res;
    s.saveres = s.res;
    return true;
}

void clearwindow(const EngineState& s, HDC window)
{
    RECT client;
    if (GetClientRect(s.g_hWnd, &client))
        FillRect(window, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT image{0, 0, s.res, s.res};
    HBRUSH background = CreateSolidBrush(s.back);
    FillRect(window, &image, background);
    DeleteObject(background);
}

} // namespace

int imagebatch(EngineState& s)
{
    if (s.newimage) {
        if (!providehitcountbuffer(s))
            return 1;
        const RECT image{0, 0, s.res, s.res};
        HBRUSH background = CreateSolidBrush(s.back);
        FillRect(s.g_vhdc, &image, background);
        DeleteObject(background);
        loadorbit(s, s.icon[s.type]);
        s.hitmax = 0;
        s.itercount = 0;
    }
    renderbatch(s);
    s.itercount = static_cast<std::uint32_t>((s.itercount + static_cast<std::uint64_t>(batchsteps)) % itercountperiod);
    s.newimage = 0;
    return 0;
}

int icondriver()
{
    EngineState& s = engine;
    HDC window = GetDC(s.g_hWnd);
    SetCursor(s.hourglass);

    const bool starting = s.newimage;
    if (imagebatch(s) != 0) {
        MessageBoxA(s.g_hWnd,
                    "Not enough memory to allocate hit count buffer.\n"
                    "Free up more system memory, or\n"
                    "   set a smaller image resolution.",
                    "Memory allocation problem", MB_ICONEXCLAMATION | MB_OK);
        ReleaseDC(s.g_hWnd, window);
        PostMessageA(s.g_hWnd, WM_COMMAND, rendercommand, 0);
        return 1;
    }
    // The batch draws only into the off-screen image, so the window can be
    // cleared for a new picture just before the picture is shown.
    if (starting)
        clearwindow(s, window);

    BitBlt(window, 0, 0, s.xscreen, s.yscreen, s.g_vhdc, s.xCurrentScroll, s.yCurrentScroll, SRCCOPY);
    ReleaseDC(s.g_hWnd, window);
    return 0;
}

} // namespace kt
