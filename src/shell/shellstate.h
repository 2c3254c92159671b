#pragma once
// The desktop program's own state: start-up results, the main window, the
// view onto the engine's off-screen image, the cursors, the about window.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmaps.h"
#include "platform/window.h"
#include "shell/history.h"
#include "shell/turnpreview.h"
#include "shell/unsavedrender.h"

namespace kt {

inline constexpr const char* szWinName = "KTWindow";
inline constexpr const char* szPopupWinName = "KTPopupWindow";
inline constexpr const char* szSplashWinName = "KTSplashWindow";
inline constexpr const char* programtitle = "KT Dravune 3D";

inline constexpr const char* errormessage[4] = {
    "Couldn't register main window class.",
    "Couldn't register popup window class.",
    "Couldn't create main window.",
    "Couldn't initialize graphics.",
};

// When the status line is next due, and the steps per second it shows.
struct StatusClock {
    std::chrono::steady_clock::time_point due{};
    std::chrono::steady_clock::time_point ratefrom{};
    std::uint32_t ratesteps = 0;
    double rate = 0;
};

// A middle-button drag: where it started and the angles it started from.
struct MouseDrag {
    bool active = false;
    int x = 0, y = 0;
    VOXEL start{};
};

struct ShellState {
    HINSTANCE g_hInstance = nullptr;
    HWND g_hWnd = nullptr;
    HACCEL g_hAccel = nullptr;
    int oksplash = 0;
    std::string odv3temp; // the command-line argument as received
    // Set once the main window's destruction begins: from then on the window
    // takes no input and no command, so nothing renders onto the released
    // buffers before the program ends.
    bool closing = false;

    // The screen's size, and the view.
    int xscreen = 0;
    int yscreen = 0;
    RECT ClientRes;
    RECT VhdcRes;
    int xMaxScroll = 0;
    int yMaxScroll = 0;
    SCROLLINFO si;
    int xCurrentScroll = 0;
    int yCurrentScroll = 0;
    bool fitwindow = false;               // the whole picture shown, scaled down to the window
    std::unique_ptr<Surface> previewsave; // the window corner a palette preview covers

    // The idle cursor, the one each render batch shows, and the one for
    // longer work (filters, the random search).
    HCURSOR cross = nullptr;
    HCURSOR hourglass = nullptr;
    HCURSOR wait = nullptr;

    // One-time advisories, 1 until shown: random search, normalization,
    // equalization, the logarithmic filters.
    int advisory = 1;
    int nadvisory = 1;
    int eadvisory = 1;
    int logadvisory = 1;

    StatusClock status;
    UnsavedRender unsaved;
    History history;
    MouseDrag drag;
    TurnPreview preview;
    // What the window shows while the mouse turns or zooms the picture: the
    // render's own image, counts and steps stay as they were, and a zoom is
    // taken only once rendering starts again.
    std::unique_ptr<Surface> previewimage;
    // The dialogs' previews come sooner from fewer points than the mouse's.
    TurnPreview editpreview{256, 4, 1500000};
    bool previewing = false;
    double zoomedscale = 0; // 0: no zoom waiting
    std::vector<std::string> recentfiles; // newest first

    // The about window.
    int aboutflag = 0;
    HBITMAP aboutbitmap = nullptr;
};

} // namespace kt
