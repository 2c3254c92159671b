#include "shell/exportcommand.h"

#include <chrono>
#include <cstdio>

#include "engine/picturedraw.h"
#include "engine/rendercontext.h"
#include "files/atomicfile.h"
#include "files/picturefile.h"
#include "files/saveerrors.h"
#include "image/picturerender.h"
#include "platform/dialog.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "shell/desktop.h"
#include "shell/desktoppicture.h"
#include "shell/exportdialog.h"

namespace kt {

namespace {

constexpr const char* exporttitle = "Export Picture";

// Handles what is queued for the program's windows. False once the program
// is to end, whose quit goes back on the queue for the main loop.
bool handlewaiting(Desktop& d)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (!TranslateAcceleratorA(d.shell.g_hWnd, d.shell.g_hAccel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return !d.shell.closing;
}

std::string progresstext(const std::string& title, std::uint64_t done, std::uint64_t steps)
{
    char text[160];
    std::snprintf(text, sizeof text, "Exporting %s: %.0f %% (Esc cancels)", title.c_str(),
                  steps ? 100.0 * static_cast<double>(done) / static_cast<double>(steps) : 100.0);
    return text;
}

} // namespace

bool exportto(Desktop& d, HWND hWnd, const Picture& p, const Palette& colours, const std::string& path)
{
    // Its own threads and nothing shown: the window's picture and its
    // presentation stay the render's.
    RenderContext ctx(processorcount());
    ctx.abandonsaves = true;
    d.exporting = true;
    d.exportcancelled = false;
    ctx.cancelled = [&] { return d.exportcancelled; };
    const std::string title = baretitle(path);
    auto due = std::chrono::steady_clock::now();
    RenderedPicture drawn;
    renderpicture(ctx, p, colours, drawn, [&](std::uint64_t done) {
        if (const auto now = std::chrono::steady_clock::now(); now >= due) {
            SetStatusText(hWnd, progresstext(title, done, picturebatches(p) * batchsteps));
            due = now + std::chrono::milliseconds(100);
        }
        if (!handlewaiting(d))
            d.exportcancelled = true;
        return !d.exportcancelled;
    });
    int code = savedone;
    if (drawn.outcome == OrbitsResult::done) {
        SetStatusText(hWnd, "Writing " + title + "...");
        code = writerendered(ctx, drawn, path);
    }
    d.exporting = false;
    if (d.shell.closing)
        return false;
    SetStatusText(hWnd, "");
    if (drawn.outcome == OrbitsResult::stopped || d.exportcancelled) {
        MessageBoxA(hWnd, "The export was cancelled; no file was written.", exporttitle, MB_ICONINFORMATION);
        return false;
    }
    if (drawn.outcome == OrbitsResult::nomemory || code == savenomemory) {
        MessageBoxA(hWnd, "Not enough memory to export a picture of this size.", exporttitle, MB_ICONEXCLAMATION);
        return false;
    }
    if (code != savedone) {
        MessageBoxA(hWnd, (saveerror[code - 1] + because(AtomicFile::lasterror())).c_str(), saveerrortitle,
                    MB_ICONEXCLAMATION);
        return false;
    }
    MessageBoxA(hWnd, ("Picture exported as " + title).c_str(), exporttitle, MB_ICONINFORMATION);
    return true;
}

void exportcommand(Desktop& d, HWND hWnd)
{
    if (DialogBoxParamA(d.shell.g_hInstance, &exportdialog, hWnd, ExportDialogProc, dialogparam(d)) != IDOK)
        return;
    if (!GetSaveFileNameA(&d.filedialogs.sexportn))
        return;
    const Picture p = exportpicture(desktoppicture(d), d.exportsettings);
    const std::string& path = d.filedialogs.exportfile;
    if (imageformat(path) == ImageFormat::tga && (p.depth == 16 || p.transparent)) {
        MessageBoxA(hWnd, "16 bits and a transparent background are written as PNG only: choose a .png name.",
                    exporttitle, MB_ICONEXCLAMATION);
        return;
    }
    exportto(d, hWnd, p, d.engine.palette, path);
}

} // namespace kt
