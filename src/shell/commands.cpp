#include "shell/commands.h"

#include <string>

#include <cctype>
#include <filesystem>
#include <ctime>

#include "shell/paramdialog.h"
#include "analysis/randomsearch.h"
#include "shell/rotationdialogs.h"
#include "engine/enginestate.h"
#include "shell/filedialogs.h"
#include "shell/history.h"
#include "engine/filenames.h"
#include "files/paramfiles.h"
#include "files/saveerrors.h"
#include "files/mapsave.h"
#include "files/png.h"
#include "files/tga.h"
#include "shell/colourdialogs.h"
#include "shell/commandtable.h"
#include "shell/desktoppresentation.h"
#include "image/filters.h"
#include "image/mapfile.h"
#include "shell/nadjustdialog.h"
#include "shell/palettepreview.h"
#include "shell/recentfiles.h"
#include "image/palettes.h"
#include "image/tonefilter.h"
#include "engine/presentation.h"
#include "platform/messagebox.h"
#include "shell/resources.h"
#include "shell/shellstate.h"
#include "shell/splash.h"
#include "shell/userguide.h"
#include "shell/view.h"
#include "parts/programparts.h"

namespace kt {

namespace {

void information(const std::string& text, const char* title = programtitle)
{
    MessageBoxA(nullptr, text.c_str(), title, MB_ICONINFORMATION);
}

void problem(HWND hWnd, const std::string& text, const char* title)
{
    MessageBoxA(hWnd, text.c_str(), title, MB_ICONEXCLAMATION);
}

void repaintnow(HWND hWnd, UINT flags)
{
    RedrawWindow(hWnd, nullptr, nullptr, flags);
}

void renderpauseresume(HWND hWnd)
{
    EngineState& s = engine;
    s.okicon = 1 - s.okicon;
    if (s.okicon)
        shell.history.record(currentset(s));
    setmenustate(hWnd, s.okicon == 1);
    if (!s.okicon)
        SetCursor(shell.cross);
}

// Starts a new picture of what is now set and renders it at once.
void rendernew(HWND hWnd)
{
    engine.newimage = 1;
    engine.okicon = 0;
    PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
}

// Steps through the sets rendered so far and renders the one stepped to.
void stepthroughhistory(HWND hWnd, bool back)
{
    History& history = shell.history;
    if (back ? !history.canstepback() : !history.canstepforward())
        return;
    restoreset(engine, back ? history.stepback() : history.stepforward());
    rendernew(hWnd);
}

// The perceptual maps follow palettes 1 and 2 in namedpalettes.
constexpr std::size_t firstperceptual = 2;

void checkpalette(HWND hWnd, UINT chosen)
{
    HMENU menu = GetMenu(hWnd);
    for (UINT id : {cmdpalette, cmdpalette1, cmdpalette2})
        CheckMenuItem(menu, id, MF_BYCOMMAND | (id == chosen ? MF_CHECKED : MF_UNCHECKED));
    for (std::size_t k = firstperceptual; k < namedpalettes().size(); ++k) {
        const UINT id = cmdnamedpalette + static_cast<UINT>(k - firstperceptual);
        CheckMenuItem(menu, id, MF_BYCOMMAND | (id == chosen ? MF_CHECKED : MF_UNCHECKED));
    }
}

void choosepalettefile(HWND hWnd)
{
    if (!GetOpenFileNameA(&filedialogs.ofn))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    if (OpenMapFile(filenames.file, paltemp) != 0) {
        problem(hWnd, "Error opening MAP file", "MAP file error");
        PostMessageA(hWnd, WM_COMMAND, cmdclearscreen, 0);
        return;
    }
    // The preview covers the window's corner; what it covered comes back
    // whatever the answer.
    HDC window = GetDC(hWnd);
    Surface* saved = shell.previewsave.get();
    BitBlt(saved, 0, 0, previewwidth, previewheight, window, 0, 0, SRCCOPY);
    showpalette();
    const int answer = MessageBoxA(nullptr, "Accept palette?", "Preview", MB_YESNO | MB_ICONINFORMATION);
    BitBlt(window, 0, 0, previewwidth, previewheight, saved, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, window);
    if (answer == IDNO) {
        PostMessageA(hWnd, WM_COMMAND, cmdpalette, 0);
        return;
    }
    engine.palette = paltemp;
    checkpalette(hWnd, cmdpalette);
    engine.newimage = 1;
}

void builtinpalette(HWND hWnd, UINT id)
{
    genpalette(engine, id == cmdpalette1 ? defpal1 : defpal2);
    checkpalette(hWnd, id);
    engine.newimage = 1;
}

void perceptualpalette(HWND hWnd, UINT id)
{
    genpalette(engine, *namedpalettes()[firstperceptual + (id - cmdnamedpalette)].table);
    checkpalette(hWnd, id);
    engine.newimage = 1;
}

// A user's own palette can start from a named one: its .map file, edited.
void savepalette(HWND hWnd)
{
    if (!GetSaveFileNameA(&filedialogs.smapn))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_UPDATENOW);
    const int code = savemapfile(engine.palette, filedialogs.mapsavefile);
    if (code != savedone) {
        problem(hWnd, saveerror[code - 1], saveerrortitle);
        return;
    }
    information("Palette saved as " + filedialogs.mapsavetitle + "\n\nLoad it via Palette (F8).");
}

void clearscreen(HWND hWnd)
{
    HDC window = GetDC(hWnd);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(window, &shell.ClientRes, black);
    ReleaseDC(hWnd, window);
    shell.VhdcRes = RECT{0, 0, engine.res, engine.res};
    FillRect(engine.g_vhdc, &shell.VhdcRes, black);
    engine.newimage = 1;
}

// Loads filenames.odv3file and renders it, or says why not.
void loadchosen(HWND hWnd)
{
    const int code = loaddv3(engine, filenames.odv3file);
    if (code != loaddone) {
        const LoadMessage message = loaderror(code, filenames.odv3file);
        problem(hWnd, message.text, message.title.c_str());
        return;
    }
    rememberrecentfile(hWnd, filenames.odv3file);
    rendernew(hWnd);
}

void loadparameters(HWND hWnd)
{
    if (!GetOpenFileNameA(&filedialogs.odv3n))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    loadchosen(hWnd);
}

void loadrecent(HWND hWnd, std::size_t index)
{
    if (index >= shell.recentfiles.size())
        return;
    const std::string path = shell.recentfiles[index];
    std::error_code error;
    const auto kind = std::filesystem::status(path, error).type();
    if (kind != std::filesystem::file_type::regular) {
        // Something else by that name is no parameter file either, but the
        // user should know it is there.
        const std::string what = kind == std::filesystem::file_type::not_found ? "no longer exists"
            : kind == std::filesystem::file_type::directory                    ? "is now a folder, not a file"
            : kind == std::filesystem::file_type::fifo                         ? "is now a named pipe, not a file"
                                                                               : "is not a file that can be read";
        problem(hWnd, "The parameter file\n   " + path + "\n" + what + ". It is removed from the list.",
                "Recent Files");
        forgetrecentfile(hWnd, path);
        return;
    }
    filenames.odv3file = path;
    filenames.odv3filetitle = baretitle(path);
    loadchosen(hWnd);
}

// Writes the parameters and says how it went; option 1 puts them beside the image.
void saveparameters(HWND hWnd, int option)
{
    const int code = writedv3(engine, filenames, option);
    if (code != savedone) {
        problem(hWnd, saveerror[code - 1], saveerrortitle);
        return;
    }
    rememberrecentfile(hWnd, filenames.sdv3file);
    information("Parameters saved as " + filenames.sdv3filetitle + "\n\nLoad via ' File ' menu or by double-clicking.");
}

void saveparametersonly(HWND hWnd)
{
    if (!GetSaveFileNameA(&filedialogs.sdv3n))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_UPDATENOW);
    saveparameters(hWnd, 0);
}

// The written file is what its name says; any other name keeps the Targa format.
bool pngname(const std::string& path)
{
    const std::string name = baretitle(path);
    if (name.size() < 4)
        return false;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".png";
}

void saveimage(HWND hWnd)
{
    if (!GetSaveFileNameA(&filedialogs.stgan))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_UPDATENOW);
    const int code = pngname(filenames.tgafile) ? writepng(*engine.g_vhdc, filenames.tgafile)
                                                : writetga(engine.g_vhdc, engine.res, filenames.tgafile);
    if (code != savedone) {
        problem(hWnd, saveerror[code - 1], saveerrortitle);
        return;
    }
    information("Image saved as " + filenames.tgafiletitle);
    saveparameters(hWnd, 1);
}

INT_PTR opendialog(HWND hWnd, const DialogTemplate& dialog, DLGPROC procedure)
{
    return DialogBoxParamA(shell.g_hInstance, &dialog, hWnd, procedure, 0);
}

bool sameset(const ICON& a, const ICON& b)
{
    return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.e == b.e && a.n == b.n && a.p == b.p &&
        a.scale == b.scale;
}

void parameters(HWND hWnd)
{
    EngineState& s = engine;
    paramsaves.saveicon = s.icon[s.type];
    paramsaves.savetype = s.type;
    s.saveres = s.res;
    if (opendialog(hWnd, paramdialog, ParamDialogProc) == IDCANCEL)
        return;
    if (!sameset(s.icon[s.type], paramsaves.saveicon) || s.type != paramsaves.savetype)
        s.newimage = 1;
    if (s.res != s.saveres && rebuildoffscreen(hWnd, s.saveres))
        s.newimage = 1;
}

void randomset(HWND hWnd)
{
    if (shell.advisory) {
        information(
            "Many parameter sets will generate extreme\n   values which will overflow the computer's\n"
            "   capacity, potentially crashing the program.\n\nOr, instead of producing chaotic patterns, they\n"
            "   might converge to point clusters, lines or\n   closed curves which are not interesting.\n\n"
            "Therefore, it might take a little time to find\n   random parameter sets that appear likely to\n"
            "   be stable and to behave as intended.",
            "Icon Parameters Advisory");
        shell.advisory = 0;
    }
    const int result = randomparams(engine, search, screening, askuser, static_cast<std::uint32_t>(std::time(nullptr)));
    if (result == searchbadstart || result == searchexhausted)
        problem(hWnd, searchfailure(result), "Random Parameter Set");
    // A search that could not run or found nothing left the picture as it
    // was, so resuming continues it; a declined winner renders the unchanged
    // set afresh.
    if (result == searchaccepted || result == searchrejected)
        rendernew(hWnd);
}

void rotation(HWND hWnd)
{
    EngineState& s = engine;
    const VOXEL saverot = s.rot[s.type];
    const int saveorder = s.rotationorder;
    if (opendialog(hWnd, rotationdialog, RotationDialogProc) == IDCANCEL)
        return;
    const VOXEL& now = s.rot[s.type];
    if (now.x != saverot.x || now.y != saverot.y || now.z != saverot.z || s.rotationorder != saveorder)
        s.newimage = 1;
}

void coloringmethod(HWND hWnd)
{
    const int savemethod = engine.cmethod;
    if (opendialog(hWnd, coloringdialog, ColoringMethodDialogProc) == IDCANCEL)
        return;
    if (engine.cmethod != savemethod)
        engine.newimage = 1;
}

void background(HWND hWnd)
{
    const COLORREF saveback = engine.back;
    if (opendialog(hWnd, backgrounddialog, BackgroundDialogProc) == IDCANCEL)
        return;
    if (engine.back != saveback)
        engine.newimage = 1;
}

// Filters need hit counts of the current image size.
bool hitcountsfit()
{
    return engine.hcres == engine.res;
}

void advise(int& flag, const char* text, const char* title)
{
    if (!flag)
        return;
    information(text, title);
    flag = 0;
}

constexpr const char* overdeveloped =
    "The best results often will be obtained if\n   the image is 'overdeveloped'.\n\n"
    "The image will disappear if you resume\n   rendering after the filter is applied.\n"
    "   Therefore, if you want to save the\n   filtered image, do so immediately.";

void normalizecommand()
{
    advise(shell.nadvisory,
           (std::string("The normalization filter will be applied.\n\n") + overdeveloped +
            "\n\nWith 'hit count' coloring, you can adjust\n   the amount of normalization from the\n"
            "   menu or by pressing 'A'")
               .c_str(),
           "Normalization Advisory");
    normalize(engine, filters, hist256);
}

void equalizecommand()
{
    advise(shell.eadvisory, (std::string("The equalization filter will be applied.\n\n") + overdeveloped).c_str(),
           "Equalization Advisory");
    equalize(engine, filters, hist256);
}

void logcommand(bool squared)
{
    filters.logsquare = squared ? 1 : 0;
    advise(shell.logadvisory,
           (std::string("The hit count will be adjusted with a\n   logarithmic transformation filter.\n\n"
                        "Using the squares of the logarithms will\n   shift the palette indices toward the\n"
                        "   lower end of the palette.\n\n") +
            overdeveloped)
               .c_str(),
           "Hit Count Adjustment Advisory");
    logadjust(engine, filters, hist256);
    filters.logsquare = 0;
}

void tonecommand(HWND hWnd)
{
    Presentation& shown = presentation();
    shown.busy(Presentation::Work::lengthy);
    const int code = densitytonefilter(engine);
    if (code == filterdone)
        shown.filtered();
    shown.idle();
    if (code == filtertonenomemory)
        problem(hWnd, "Not enough memory to apply the density tone.", "Memory allocation problem");
}

// The depth sums cost the plotting, so they are kept only once the depth
// tone is first asked for: the picture is then drawn again with them.
void depthtonecommand(HWND hWnd)
{
    Presentation& shown = presentation();
    shown.busy(Presentation::Work::lengthy);
    const int code = depthtonefilter(engine);
    if (code == filterdone)
        shown.filtered();
    shown.idle();
    if (code == filtertonenomemory)
        problem(hWnd, "Not enough memory to apply the depth tone.", "Memory allocation problem");
    if (code == filternodepths) {
        engine.depthsums = true;
        engine.newimage = 1;
        information("The depth tone needs the depth of every point,\n   which pictures now keep.\n\n"
                    "Render (R) again, pause, and choose\n   Depth Tone (D).",
                    "Depth Tone");
    }
}

void histogrammode(HWND hWnd)
{
    filters.histogramflag = 1 - filters.histogramflag;
    CheckMenuItem(GetMenu(hWnd), cmdhistogram, MF_BYCOMMAND | (filters.histogramflag ? MF_CHECKED : MF_UNCHECKED));
    information(std::string("Palette index histogram\n   display mode ") +
                    (filters.histogramflag ? "enabled\n" : "disabled\n") +
                    "   for normalization,\n   equalization and hit\n   count adjustment options.",
                "Histogram Display");
}

void help()
{
    information("Please refer to the included file,\n   'KT Dravune 3D.pdf'.\n\nTo access all the menu options,\n"
                "   rendering must be paused with\n   either the 'R'key or a mouse\n   click.");
    // Without a guide, or a viewer for it, the user is told where it is or
    // should be rather than left waiting for a window that will not come.
    const std::string guide = userguidepath();
    if (guide.empty())
        information("The user guide, 'KT Dravune 3D.pdf', was not found\n   beside the program or where it is "
                    "installed.",
                    "Help");
    else if (!OpenDocumentA(guide))
        information("No viewer for PDF files was found to open\n   the user guide. It is\n   " + guide, "Help");
}

void toggledebug()
{
    search.debugflag = 1 - search.debugflag;
    MessageBoxA(nullptr, search.debugflag ? "Parameter display mode enabled." : "Parameter display mode disabled.",
                "Debug Mode", MB_ICONINFORMATION);
}

constexpr UINT key = FVIRTKEY;
constexpr UINT alt = FVIRTKEY | FALT;
constexpr UINT controlalt = FVIRTKEY | FCONTROL | FALT;
constexpr const char* file = "File      ";
constexpr const char* render = "Render      ";
constexpr const char* options = "Options      ";
constexpr const char* helpmenu = "Help";
constexpr const char* logmenu = "Hit Count Log Normalization";
constexpr const char* perceptualmenu = "Perceptual Palettes";

// In menu order; the keys-only commands last.
constexpr CommandEntry commands[] = {
    {cmdload, file, nullptr, false, "Load Parameter File (L)", false, key, 'L', Runs::paused, false,
     [](HWND hWnd, UINT) { loadparameters(hWnd); }},
    {cmdsaveimage, file, nullptr, false, "Save Image and Parameters (S)", false, key, 'S', Runs::paused, false,
     [](HWND hWnd, UINT) { saveimage(hWnd); }},
    {cmdsaveparameters, file, nullptr, false, "Save Parameters Only (P)", false, key, 'P', Runs::paused, false,
     [](HWND hWnd, UINT) { saveparametersonly(hWnd); }},
    {cmdexit, file, nullptr, true, "Exit (Esc)", false, key, VK_ESCAPE, Runs::paused, false,
     [](HWND hWnd, UINT) { PostMessageA(hWnd, WM_DESTROY, 0, 0); }},

    {cmdrender, render, nullptr, false, "Render / Pause / Resume (R)", false, key, 'R', Runs::always, false,
     [](HWND hWnd, UINT) { renderpauseresume(hWnd); }},
    {cmdnormalize, render, nullptr, true, "Normalize (N)", false, key, 'N', Runs::paused, true,
     [](HWND, UINT) { normalizecommand(); }},
    {cmdnadjust, render, nullptr, false, "Normalization Adjustment (A)", false, key, 'A',
     Runs::pausedcolouringbyhitcount, true,
     [](HWND hWnd, UINT) { opendialog(hWnd, nadjustdialog, NadjustDialogProc); }},
    {cmdequalize, render, nullptr, true, "Equalize (E)", false, key, 'E', Runs::paused, true,
     [](HWND, UINT) { equalizecommand(); }},
    {cmdlog, render, logmenu, true, "Hit Count Log (C)", false, key, 'C', Runs::pausedcolouringbyhitcount, true,
     [](HWND, UINT) { logcommand(false); }},
    {cmdlogsquared, render, logmenu, false, "Hit Count Log Squared (Alt + C)", false, alt, 'C',
     Runs::pausedcolouringbyhitcount, true, [](HWND, UINT) { logcommand(true); }},
    {cmdhistogram, render, nullptr, true, "Histogram (H)", false, key, 'H', Runs::paused, false,
     [](HWND hWnd, UINT) { histogrammode(hWnd); }},
    {cmdtone, render, nullptr, true, "Density Tone (T)", false, key, 'T', Runs::pausedcolouringbyhitcount, true,
     [](HWND hWnd, UINT) { tonecommand(hWnd); }},
    {cmddepthtone, render, nullptr, false, "Depth Tone (D)", false, key, 'D', Runs::pausedcolouringbyhitcount, true,
     [](HWND hWnd, UINT) { depthtonecommand(hWnd); }},

    {cmdparameters, options, nullptr, true, "Parameters (F3)", false, key, VK_F1 + 2, Runs::paused, false,
     [](HWND hWnd, UINT) { parameters(hWnd); }},
    {cmdrandom, options, nullptr, false, "Random Parameter Set (F4)", false, key, VK_F1 + 3, Runs::paused, false,
     [](HWND hWnd, UINT) { randomset(hWnd); }},
    {cmdpreviousset, options, nullptr, false, "Previous Parameter Set (Alt + Left)", false, alt, VK_LEFT, Runs::paused,
     false, [](HWND hWnd, UINT) { stepthroughhistory(hWnd, true); }},
    {cmdnextset, options, nullptr, false, "Next Parameter Set (Alt + Right)", false, alt, VK_RIGHT, Runs::paused, false,
     [](HWND hWnd, UINT) { stepthroughhistory(hWnd, false); }},
    {cmdrotate, options, nullptr, false, "Rotate Image (F5)", false, key, VK_F1 + 4, Runs::paused, false,
     [](HWND hWnd, UINT) { rotation(hWnd); }},
    {cmdcoloring, options, nullptr, true, "Coloring Method (F6)", false, key, VK_F1 + 5, Runs::paused, false,
     [](HWND hWnd, UINT) { coloringmethod(hWnd); }},
    {cmdbackground, options, nullptr, false, "Background Color (F7)", false, key, VK_F1 + 6, Runs::paused, false,
     [](HWND hWnd, UINT) { background(hWnd); }},
    {cmdpalette, options, nullptr, false, "Palette (F8)", false, key, VK_F1 + 7, Runs::paused, false,
     [](HWND hWnd, UINT) { choosepalettefile(hWnd); }},
    {cmdpalette1, options, nullptr, false, "Default Palette 1 (F9)", true, key, VK_F1 + 8, Runs::paused, false,
     [](HWND hWnd, UINT id) { builtinpalette(hWnd, id); }},
    {cmdpalette2, options, nullptr, false, "Default Palette 2 (F10)", false, key, VK_F1 + 9, Runs::paused, false,
     [](HWND hWnd, UINT id) { builtinpalette(hWnd, id); }},
    {cmdnamedpalette + 0, options, perceptualmenu, false, "Inferno", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT id) { perceptualpalette(hWnd, id); }},
    {cmdnamedpalette + 1, options, perceptualmenu, false, "Magma", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT id) { perceptualpalette(hWnd, id); }},
    {cmdnamedpalette + 2, options, perceptualmenu, false, "Viridis", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT id) { perceptualpalette(hWnd, id); }},
    {cmdnamedpalette + 3, options, perceptualmenu, false, "Cividis", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT id) { perceptualpalette(hWnd, id); }},
    {cmdnamedpalette + 4, options, perceptualmenu, false, "Twilight", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT id) { perceptualpalette(hWnd, id); }},
    {cmdnamedpalette + 5, options, perceptualmenu, false, "Grey", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT id) { perceptualpalette(hWnd, id); }},
    {cmdnamedpalette + 6, options, perceptualmenu, false, "Fire", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT id) { perceptualpalette(hWnd, id); }},
    {cmdsavepalette, options, nullptr, false, "Save Palette...", false, 0, 0, Runs::paused, false,
     [](HWND hWnd, UINT) { savepalette(hWnd); }},
    {cmdclearscreen, options, nullptr, true, "Clear Screen (F11)", false, key, VK_F1 + 10, Runs::paused, false,
     [](HWND hWnd, UINT) { clearscreen(hWnd); }},

    {cmdhelp, helpmenu, nullptr, false, "Help Topics (F1)", false, key, VK_F1, Runs::paused, false,
     [](HWND, UINT) { help(); }},
    {cmdabout, helpmenu, nullptr, true, "About (F2)", false, key, VK_F1 + 1, Runs::paused, false,
     [](HWND, UINT) { openaboutwindow(); }},

    {cmddebug, nullptr, nullptr, false, nullptr, false, controlalt, 'D', Runs::paused, false,
     [](HWND, UINT) { toggledebug(); }},
    {cmdfdlimit, nullptr, nullptr, false, nullptr, false, controlalt, 'X', Runs::paused, false,
     [](HWND hWnd, UINT) { opendialog(hWnd, fddialog, FDDialogProc); }},
};

const CommandEntry* entryof(UINT id)
{
    for (const CommandEntry& entry : commands)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

} // namespace

std::span<const CommandEntry> commandtable()
{
    return commands;
}

void setmenustate(HWND hWnd, bool rendering)
{
    HMENU menu = GetMenu(hWnd);
    const bool hitcounts = engine.cmethod == 0;
    for (const CommandEntry& entry : commands) {
        if (!entry.popup)
            continue;
        const bool enabled = entry.runs == Runs::always || (!rendering && (entry.runs == Runs::paused || hitcounts));
        EnableMenuItem(menu, entry.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    for (UINT k = 0; k < recentfilecount; ++k)
        EnableMenuItem(menu, cmdrecentfile + k, MF_BYCOMMAND | (rendering ? MF_GRAYED : MF_ENABLED));
}

void maincommand(HWND hWnd, UINT id)
{
    const CommandEntry* entry = entryof(id);
    if (engine.okicon && !(entry && entry->runs == Runs::always))
        return;
    if (entry) {
        if (!entry->needshitcounts || hitcountsfit())
            entry->run(hWnd, id);
        return;
    }
    if (id >= cmdrecentfile && id < cmdrecentfile + recentfilecount)
        loadrecent(hWnd, id - cmdrecentfile);
}

} // namespace kt
