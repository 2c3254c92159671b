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
#include "files/png.h"
#include "files/tga.h"
#include "shell/colourdialogs.h"
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

constexpr UINT pausedonly[] = {
    cmdload,      cmdsaveimage, cmdsaveparameters, cmdexit,       cmdnormalize,  cmdequalize,
    cmdhistogram, cmdparameters, cmdrandom,        cmdrotate,     cmdcoloring,   cmdbackground,
    cmdpalette,   cmdpalette1,  cmdpalette2,       cmdclearscreen, cmdhelp,      cmdabout,
    cmdpreviousset, cmdnextset,
};
// Filters that work on hit counts, not on depth colours.
constexpr UINT hitcountonly[] = {cmdnadjust, cmdlogsquared, cmdlog, cmdtone};

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

void checkpalette(HWND hWnd, UINT chosen)
{
    HMENU menu = GetMenu(hWnd);
    for (UINT id : {cmdpalette, cmdpalette1, cmdpalette2})
        CheckMenuItem(menu, id, MF_BYCOMMAND | (id == chosen ? MF_CHECKED : MF_UNCHECKED));
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
    if (!std::filesystem::is_regular_file(path, error)) {
        problem(hWnd, "The parameter file\n   " + path + "\nno longer exists. It is removed from the list.",
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
    information("Parameters saved as " + filenames.sdv3filetitle +
                "\n\nLoad via ' File ' menu or by double-clicking.");
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
    const int code = pngname(filenames.tgafile) ? writepng(*engine.g_vhdc, filenames.tgafile) : writetga(engine.g_vhdc, engine.res, filenames.tgafile);
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
        information("Many parameter sets will generate extreme\n   values which will overflow the computer's\n"
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
    // Without a guide or a viewer for it the message is all there is.
    if (const std::string guide = userguidepath(); !guide.empty())
        OpenDocumentA(guide);
}

void toggledebug()
{
    search.debugflag = 1 - search.debugflag;
    MessageBoxA(nullptr, search.debugflag ? "Parameter display mode enabled." : "Parameter display mode disabled.",
                "Debug Mode", MB_ICONINFORMATION);
}

} // namespace

void setmenustate(HWND hWnd, bool rendering)
{
    HMENU menu = GetMenu(hWnd);
    EnableMenuItem(menu, cmdrender, MF_BYCOMMAND | MF_ENABLED);
    for (UINT id : pausedonly)
        EnableMenuItem(menu, id, MF_BYCOMMAND | (rendering ? MF_GRAYED : MF_ENABLED));
    for (UINT k = 0; k < recentfilecount; ++k)
        EnableMenuItem(menu, cmdrecentfile + k, MF_BYCOMMAND | (rendering ? MF_GRAYED : MF_ENABLED));
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
    case cmdhelp: help(); break;
    case cmdabout: openaboutwindow(); break;
    case cmddebug: toggledebug(); break;
    case cmdpalette: choosepalettefile(hWnd); break;
    case cmdpalette1:
    case cmdpalette2: builtinpalette(hWnd, id); break;
    case cmdclearscreen: clearscreen(hWnd); break;
    case cmdload: loadparameters(hWnd); break;
    case cmdsaveparameters: saveparametersonly(hWnd); break;
    case cmdsaveimage: saveimage(hWnd); break;
    case cmdexit: PostMessageA(hWnd, WM_DESTROY, 0, 0); break;
    case cmdparameters: parameters(hWnd); break;
    case cmdrandom: randomset(hWnd); break;
    case cmdpreviousset:
    case cmdnextset: stepthroughhistory(hWnd, id == cmdpreviousset); break;
    case cmdrotate: rotation(hWnd); break;
    case cmdcoloring: coloringmethod(hWnd); break;
    case cmdbackground: background(hWnd); break;
    case cmdfdlimit: opendialog(hWnd, fddialog, FDDialogProc); break;
    case cmdhistogram: histogrammode(hWnd); break;
    case cmdnormalize:
        if (hitcountsfit())
            normalizecommand();
        break;
    case cmdnadjust:
        if (hitcountsfit())
            opendialog(hWnd, nadjustdialog, NadjustDialogProc);
        break;
    case cmdequalize:
        if (hitcountsfit())
            equalizecommand();
        break;
    case cmdtone:
        if (hitcountsfit())
            tonecommand(hWnd);
        break;
    case cmdlog:
    case cmdlogsquared:
        if (hitcountsfit())
            logcommand(id == cmdlogsquared);
        break;
    default:
        if (id >= cmdrecentfile && id < cmdrecentfile + recentfilecount)
            loadrecent(hWnd, id - cmdrecentfile);
        break;
    }
}

} // namespace kt
