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
#include "platform/messagebox.h"
#include "shell/resources.h"
#include "shell/shellstate.h"
#include "shell/splash.h"
#include "shell/userguide.h"
#include "shell/view.h"
#include "shell/viewcommands.h"
#include "shell/desktop.h"
#include "shell/exportcommand.h"
#include "engine/framing.h"
#include "engine/recolour.h"
#include "shell/mouseturn.h"
#include "shell/undo.h"
#include "shell/livetone.h"
#include "shell/quality.h"
#include "shell/shownfilter.h"
#include "shell/tonedialog.h"
#include <algorithm>
#include <new>
#include <optional>
#include <vector>

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

void renderpauseresume(Desktop& d, HWND hWnd)
{
    EngineState& s = d.engine;
    // Rendering starts at the zoom the wheel previewed; the render it
    // replaces can be had back.
    if (!s.okicon && d.shell.previewing) {
        PictureSnapshot before = takesnapshot(d);
        if (takezoom(d))
            d.undo.record(std::move(before));
        InvalidateRect(hWnd, nullptr, 0);
    }
    s.okicon = 1 - s.okicon;
    if (s.okicon)
        d.shownfilter = ShownFilter::none;
    if (!s.okicon) {
        settlelivetone(d);
        InvalidateRect(hWnd, nullptr, 0);
    }
    if (s.okicon)
        d.shell.history.record(currentset(s));
    setmenustate(d, hWnd, s.okicon == 1);
    if (!s.okicon)
        SetCursor(d.shell.cross);
}

// Starts a new picture of what is now set and renders it at once.
void rendernew(Desktop& d, HWND hWnd)
{
    d.engine.newimage = 1;
    d.engine.okicon = 0;
    PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
}

// Steps through the sets rendered so far and renders the one stepped to.
void stepthroughhistory(Desktop& d, HWND hWnd, bool back)
{
    History& history = d.shell.history;
    if (back ? !history.canstepback() : !history.canstepforward())
        return;
    restoreset(d.engine, back ? history.stepback() : history.stepforward());
    rendernew(d, hWnd);
}

// The perceptual maps follow palettes 1 and 2 in namedpalettes.
constexpr std::size_t firstperceptual = 2;

// A new palette or background shows at once on the picture drawn so far,
// which rendering then continues in it; a picture not begun yet takes it as
// it starts.
void recolourshown(Desktop& d)
{
    EngineState& s = d.engine;
    if (s.newimage || s.hcres != s.res || !s.g_vhdc) {
        s.newimage = 1;
        return;
    }
    recolour(s);
    d.shownfilter = ShownFilter::none;
    d.context.shown().filtered();
}

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

// The palette menu's item for a palette's name.
UINT paletteitem(const std::string& name)
{
    const auto& named = namedpalettes();
    for (std::size_t k = 0; k < named.size(); ++k)
        if (name == named[k].name)
            return k == 0 ? cmdpalette1 : k == 1 ? cmdpalette2 : cmdnamedpalette + static_cast<UINT>(k - firstperceptual);
    return cmdpalette;
}

// Back (or forward again) to the picture before (after) the last command
// that changed it, to go on rendering from there.
void undocommand(Desktop& d, HWND hWnd, bool redo)
{
    UndoHistory& undo = d.undo;
    if (redo ? !undo.canredo() : !undo.canundo())
        return;
    endpreview(d, hWnd);
    PictureSnapshot now = takesnapshot(d);
    restoresnapshot(d, hWnd, redo ? undo.redo(std::move(now)) : undo.undo(std::move(now)));
    checkpalette(hWnd, paletteitem(d.palettename));
    InvalidateRect(hWnd, nullptr, 0);
}
} // namespace

PaletteOffer offerpalettefile(Desktop& d, HWND hWnd)
{
    if (OpenMapFile(d.filenames.file, d.paltemp) != 0) {
        problem(hWnd, "Error opening MAP file", "MAP file error");
        return PaletteOffer::unreadable;
    }
    // The preview covers the window's corner; what it covered comes back
    // whatever the answer.
    HDC window = GetDC(hWnd);
    Surface* saved = d.shell.previewsave.get();
    BitBlt(saved, 0, 0, previewwidth, previewheight, window, 0, 0, SRCCOPY);
    showpalette(d.shell.g_hWnd, d.paltemp, d.engine.back);
    const int answer = MessageBoxA(nullptr, "Accept palette?", "Preview", MB_YESNO | MB_ICONINFORMATION);
    BitBlt(window, 0, 0, previewwidth, previewheight, saved, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, window);
    if (answer == IDNO)
        return PaletteOffer::declined;
    d.engine.palette = d.paltemp;
    d.palettename = d.filenames.file;
    checkpalette(hWnd, cmdpalette);
    recolourshown(d);
    return PaletteOffer::accepted;
}

namespace {

void choosepalettefile(Desktop& d, HWND hWnd)
{
    if (!GetOpenFileNameA(&d.filedialogs.ofn))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    const PaletteOffer offer = offerpalettefile(d, hWnd);
    if (offer == PaletteOffer::unreadable)
        PostMessageA(hWnd, WM_COMMAND, cmdclearscreen, 0);
    if (offer == PaletteOffer::declined)
        PostMessageA(hWnd, WM_COMMAND, cmdpalette, 0);
}

void builtinpalette(Desktop& d, HWND hWnd, UINT id)
{
    genpalette(d.engine, id == cmdpalette1 ? defpal1 : defpal2);
    d.palettename = namedpalettes()[id == cmdpalette1 ? 0 : 1].name;
    checkpalette(hWnd, id);
    recolourshown(d);
}

void perceptualpalette(Desktop& d, HWND hWnd, UINT id)
{
    const NamedPalette& chosen = namedpalettes()[firstperceptual + (id - cmdnamedpalette)];
    genpalette(d.engine, *chosen.table);
    d.palettename = chosen.name;
    checkpalette(hWnd, id);
    recolourshown(d);
}

// A user's own palette can start from a named one: its .map file, edited.
void savepalette(Desktop& d, HWND hWnd)
{
    if (!GetSaveFileNameA(&d.filedialogs.smapn))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_UPDATENOW);
    const int code = savemapfile(d.context, d.engine.palette, d.filedialogs.mapsavefile);
    if (code != savedone) {
        problem(hWnd, saveerror[code - 1], saveerrortitle);
        return;
    }
    information("Palette saved as " + d.filedialogs.mapsavetitle + "\n\nLoad it via Palette (F8).");
}

void clearscreen(Desktop& d, HWND hWnd)
{
    HDC window = GetDC(hWnd);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(window, &d.shell.ClientRes, black);
    ReleaseDC(hWnd, window);
    d.shell.VhdcRes = RECT{0, 0, d.engine.res, d.engine.res};
    FillRect(d.engine.g_vhdc, &d.shell.VhdcRes, black);
    d.engine.newimage = 1;
    d.shownfilter = ShownFilter::none;
}

} // namespace

void loadchosen(Desktop& d, HWND hWnd)
{
    const int code = loaddv3(d.engine, d.filenames.odv3file);
    if (code != loaddone) {
        const LoadMessage message = loaderror(code, d.filenames.odv3file);
        problem(hWnd, message.text, message.title.c_str());
        return;
    }
    rememberrecentfile(d, hWnd, d.filenames.odv3file);
    rendernew(d, hWnd);
}

namespace {

void loadparameters(Desktop& d, HWND hWnd)
{
    if (!GetOpenFileNameA(&d.filedialogs.odv3n))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    loadchosen(d, hWnd);
}

void loadrecent(Desktop& d, HWND hWnd, std::size_t index)
{
    if (index >= d.shell.recentfiles.size())
        return;
    const std::string path = d.shell.recentfiles[index];
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
        forgetrecentfile(d, hWnd, path);
        return;
    }
    d.filenames.odv3file = path;
    d.filenames.odv3filetitle = baretitle(path);
    loadchosen(d, hWnd);
}

// Writes the parameters and says how it went; option 1 puts them beside the image.
void saveparameters(Desktop& d, HWND hWnd, int option)
{
    const int code = writedv3(d.context, d.engine, d.filenames, option);
    if (code != savedone) {
        problem(hWnd, saveerror[code - 1], saveerrortitle);
        return;
    }
    rememberrecentfile(d, hWnd, d.filenames.sdv3file);
    information("Parameters saved as " + d.filenames.sdv3filetitle +
                "\n\nLoad via ' File ' menu or by double-clicking.");
}

void saveparametersonly(Desktop& d, HWND hWnd)
{
    if (!GetSaveFileNameA(&d.filedialogs.sdv3n))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_UPDATENOW);
    saveparameters(d, hWnd, 0);
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

void saveimage(Desktop& d, HWND hWnd)
{
    if (!GetSaveFileNameA(&d.filedialogs.stgan))
        return;
    repaintnow(hWnd, RDW_INVALIDATE | RDW_UPDATENOW);
    const int code = pngname(d.filenames.tgafile) ? writepng(d.context, *d.engine.g_vhdc, d.filenames.tgafile)
                                                  : writetga(d.context, d.engine.g_vhdc, d.engine.res, d.filenames.tgafile);
    if (code != savedone) {
        problem(hWnd, saveerror[code - 1], saveerrortitle);
        return;
    }
    picturesaved(d.shell.unsaved);
    information("Image saved as " + d.filenames.tgafiletitle);
    saveparameters(d, hWnd, 1);
}

INT_PTR opendialog(Desktop& d, HWND hWnd, const DialogTemplate& dialog, DLGPROC procedure)
{
    return DialogBoxParamA(d.shell.g_hInstance, &dialog, hWnd, procedure, dialogparam(d));
}

bool sameset(const ICON& a, const ICON& b)
{
    return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.e == b.e && a.n == b.n && a.p == b.p &&
        a.scale == b.scale;
}

void parameters(Desktop& d, HWND hWnd)
{
    EngineState& s = d.engine;
    d.paramsaves.saveicon = s.icon[s.type];
    d.paramsaves.savetype = s.type;
    s.saveres = s.res;
    const INT_PTR answer = opendialog(d, hWnd, paramdialog, ParamDialogProc);
    endpreview(d, hWnd);
    if (answer == IDCANCEL)
        return;
    if (!sameset(s.icon[s.type], d.paramsaves.saveicon) || s.type != d.paramsaves.savetype)
        s.newimage = 1;
    if (s.res != s.saveres && rebuildoffscreen(s, hWnd, s.saveres))
        s.newimage = 1;
}

// The scale at which the turned orbit fills the window, leaving the batch
// renderer's margin; estimated from many orbits, which take a moment where the
// exact orbit of a turned view would take minutes.
bool fitscale(Desktop& d)
{
    constexpr std::uint64_t fitsteps = 4000000;
    constexpr int fitorbits = 4096;
    EngineState& s = d.engine;
    Presentation& shown = d.context.shown();
    shown.busy(Presentation::Work::lengthy);
    const double scale = fittedscale(d.context, s, fitsteps, fitorbits, s.res, s.res, Picture{}.margin);
    shown.idle();
    if (scale == s.icon[s.type].scale)
        return false;
    s.icon[s.type].scale = scale;
    return true;
}

void fittoframe(Desktop& d, HWND hWnd)
{
    if (fitscale(d))
        rendernew(d, hWnd);
}

void fitrandomcommand(Desktop& d, HWND hWnd)
{
    d.fitrandom = !d.fitrandom;
    CheckMenuItem(GetMenu(hWnd), cmdfitrandom, MF_BYCOMMAND | (d.fitrandom ? MF_CHECKED : MF_UNCHECKED));
}

void randomset(Desktop& d, HWND hWnd)
{
    if (d.shell.advisory) {
        information(
            "Many parameter sets will generate extreme\n   values which will overflow the computer's\n"
            "   capacity, potentially crashing the program.\n\nOr, instead of producing chaotic patterns, they\n"
            "   might converge to point clusters, lines or\n   closed curves which are not interesting.\n\n"
            "Therefore, it might take a little time to find\n   random parameter sets that appear likely to\n"
            "   be stable and to behave as intended.",
            "Icon Parameters Advisory");
        d.shell.advisory = 0;
    }
    const int result = randomparams(d.context, d.engine, d.search, d.screening, askuser,
                                    static_cast<std::uint32_t>(std::time(nullptr)));
    if (result == searchbadstart || result == searchexhausted)
        problem(hWnd, searchfailure(result), "Random Parameter Set");
    // A search that could not run or found nothing left the picture as it
    // was, so resuming continues it; a declined winner renders the unchanged
    // set afresh.
    if (result == searchaccepted && d.fitrandom)
        fitscale(d);
    if (result == searchaccepted || result == searchrejected)
        rendernew(d, hWnd);
}

void rotation(Desktop& d, HWND hWnd)
{
    EngineState& s = d.engine;
    const VOXEL saverot = s.rot[s.type];
    const int saveorder = s.rotationorder;
    const INT_PTR answer = opendialog(d, hWnd, rotationdialog, RotationDialogProc);
    endpreview(d, hWnd);
    if (answer == IDCANCEL)
        return;
    const VOXEL& now = s.rot[s.type];
    if (now.x != saverot.x || now.y != saverot.y || now.z != saverot.z || s.rotationorder != saveorder)
        s.newimage = 1;
}

void coloringmethod(Desktop& d, HWND hWnd)
{
    const int savemethod = d.engine.cmethod;
    if (opendialog(d, hWnd, coloringdialog, ColoringMethodDialogProc) == IDCANCEL)
        return;
    if (d.engine.cmethod != savemethod)
        d.engine.newimage = 1;
}

void background(Desktop& d, HWND hWnd)
{
    const COLORREF saveback = d.engine.back;
    if (opendialog(d, hWnd, backgrounddialog, BackgroundDialogProc) == IDCANCEL)
        return;
    if (d.engine.back != saveback)
        recolourshown(d);
}

// Filters need hit counts of the current image size.
bool hitcountsfit(Desktop& d)
{
    return d.engine.hcres == d.engine.res;
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

void normalizecommand(Desktop& d)
{
    advise(d.shell.nadvisory,
           (std::string("The normalization filter will be applied.\n\n") + overdeveloped +
            "\n\nWith 'hit count' coloring, you can adjust\n   the amount of normalization from the\n"
            "   menu or by pressing 'A'")
               .c_str(),
           "Normalization Advisory");
    applyfilter(d, ShownFilter::normalize, d.filters);
}

void equalizecommand(Desktop& d)
{
    advise(d.shell.eadvisory, (std::string("The equalization filter will be applied.\n\n") + overdeveloped).c_str(),
           "Equalization Advisory");
    applyfilter(d, ShownFilter::equalize, d.filters);
}

void logcommand(Desktop& d, bool squared)
{
    advise(d.shell.logadvisory,
           (std::string("The hit count will be adjusted with a\n   logarithmic transformation filter.\n\n"
                        "Using the squares of the logarithms will\n   shift the palette indices toward the\n"
                        "   lower end of the palette.\n\n") +
            overdeveloped)
               .c_str(),
           "Hit Count Adjustment Advisory");
    applyfilter(d, squared ? ShownFilter::logsquared : ShownFilter::log, d.filters);
}

void tonecommand(Desktop& d, HWND hWnd)
{
    const int code = applyfilter(d, ShownFilter::densitytone, d.filters);
    if (code == filtertonenomemory)
        problem(hWnd, "Not enough memory to apply the density tone.", "Memory allocation problem");
}

// The depth sums cost the plotting, so they are kept only once the depth
// tone is first asked for: the picture is then drawn again with them.
void depthtonecommand(Desktop& d, HWND hWnd)
{
    const int code = applyfilter(d, ShownFilter::depthtone, d.filters);
    if (code == filtertonenomemory)
        problem(hWnd, "Not enough memory to apply the depth tone.", "Memory allocation problem");
    if (code == filternodepths) {
        d.engine.depthsums = true;
        d.engine.newimage = 1;
        information("The depth tone needs the depth of every point,\n   which pictures now keep.\n\n"
                    "Render (R) again, pause, and choose\n   Depth Tone (D).",
                    "Depth Tone");
    }
}

// The view follows the tone as the picture grows; what it is drawn over
// stays the render's own until it pauses.
void livetonecommand(Desktop& d, HWND hWnd)
{
    LiveTone& tone = d.livetone;
    tone.on = !tone.on;
    CheckMenuItem(GetMenu(hWnd), cmdlivetone, MF_BYCOMMAND | (tone.on ? MF_CHECKED : MF_UNCHECKED));
    if (tone.on && d.engine.cmethod != 0)
        information("The live density tone shows pictures coloured by hit count;\n"
                    "   this one is coloured by depth (Coloring Method, F6).",
                    "Live Density Tone");
}

// The sliders recolour the shown tone as they move; Cancel gives back the
// settings and the very pixels shown before, which the live tone drew from
// fewer hits than the render has by now. (Without memory for a copy, the
// tone is drawn again with the settings as they were.)
void tonesettings(Desktop& d, HWND hWnd)
{
    const ToneSettings before = d.tone;
    Surface* const shown = showstone(d) ? shownimage(d) : nullptr;
    std::vector<std::uint32_t> pixels;
    try {
        if (shown)
            pixels.assign(shown->bits(), shown->bits() + static_cast<std::size_t>(shown->width()) * shown->height());
    } catch (const std::bad_alloc&) {
        pixels.clear();
    }
    if (opendialog(d, hWnd, tonedialog, ToneDialogProc) != IDCANCEL)
        return;
    d.tone = before;
    if (pixels.empty() || shownimage(d) != shown) {
        retone(d);
        return;
    }
    std::copy(pixels.begin(), pixels.end(), shown->bits());
    InvalidateRect(hWnd, nullptr, 0);
}

void qualitycommand(Desktop& d, HWND hWnd, UINT id)
{
    const std::size_t k = id - cmdquality;
    d.quality = k == 0 ? 0 : qualitysteps[k - 1];
    HMENU menu = GetMenu(hWnd);
    for (UINT item = 0; item <= qualitysteps.size(); ++item)
        CheckMenuItem(menu, cmdquality + item, MF_BYCOMMAND | (item == k ? MF_CHECKED : MF_UNCHECKED));
}

void histogrammode(Desktop& d, HWND hWnd)
{
    d.filters.histogramflag = 1 - d.filters.histogramflag;
    CheckMenuItem(GetMenu(hWnd), cmdhistogram, MF_BYCOMMAND | (d.filters.histogramflag ? MF_CHECKED : MF_UNCHECKED));
    information(std::string("Palette index histogram\n   display mode ") +
                    (d.filters.histogramflag ? "enabled\n" : "disabled\n") +
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

void toggledebug(Desktop& d)
{
    d.search.debugflag = 1 - d.search.debugflag;
    MessageBoxA(nullptr, d.search.debugflag ? "Parameter display mode enabled." : "Parameter display mode disabled.",
                "Debug Mode", MB_ICONINFORMATION);
}

constexpr UINT key = FVIRTKEY;
constexpr UINT alt = FVIRTKEY | FALT;
constexpr UINT control = FVIRTKEY | FCONTROL;
constexpr UINT controlshift = FVIRTKEY | FCONTROL | FSHIFT;
constexpr UINT controlalt = FVIRTKEY | FCONTROL | FALT;
constexpr const char* file = "File      ";
constexpr const char* edit = "Edit      ";
constexpr const char* render = "Render      ";
constexpr const char* options = "Options      ";
constexpr const char* viewmenu = "View      ";
constexpr const char* helpmenu = "Help";
constexpr const char* logmenu = "Hit Count Log Normalization";
constexpr const char* perceptualmenu = "Perceptual Palettes";
constexpr const char* qualitymenu = "Quality";

// In menu order; the keys-only commands last.
constexpr CommandEntry commands[] = {
    {cmdload, file, nullptr, false, "Load Parameter File (L)", false, key, 'L', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { loadparameters(d, hWnd); }, true},
    {cmdsaveimage, file, nullptr, false, "Save Image and Parameters (S)", false, key, 'S', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { saveimage(d, hWnd); }},
    {cmdsaveparameters, file, nullptr, false, "Save Parameters Only (P)", false, key, 'P', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { saveparametersonly(d, hWnd); }},
    {cmdexport, file, nullptr, false, "Export Picture... (Ctrl + E)", false, control, 'E', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { exportcommand(d, hWnd); }},
    {cmdexit, file, nullptr, true, "Exit (Esc)", false, key, VK_ESCAPE, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) {
         if (mayend(d.shell.unsaved, hWnd))
             PostMessageA(hWnd, WM_DESTROY, 0, 0);
     }},

    {cmdundo, edit, nullptr, false, "Undo (Ctrl + Z)", false, control, 'Z', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { undocommand(d, hWnd, false); }},
    {cmdredo, edit, nullptr, false, "Redo (Ctrl + Y)", false, control, 'Y', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { undocommand(d, hWnd, true); }},
    {cmdcopypicture, edit, nullptr, true, "Copy Picture (Ctrl + C)", false, control, 'C', Runs::always, false,
     [](Desktop& d, HWND hWnd, UINT) { copypicture(d, hWnd); }},

    {cmdrender, render, nullptr, false, "Render / Pause / Resume (R)", false, key, 'R', Runs::always, false,
     [](Desktop& d, HWND hWnd, UINT) { renderpauseresume(d, hWnd); }},
    {cmdnormalize, render, nullptr, true, "Normalize (N)", false, key, 'N', Runs::paused, true,
     [](Desktop& d, HWND, UINT) { normalizecommand(d); }, true},
    {cmdnadjust, render, nullptr, false, "Normalization Adjustment (A)", false, key, 'A',
     Runs::pausedcolouringbyhitcount, true,
     [](Desktop& d, HWND hWnd, UINT) { opendialog(d, hWnd, nadjustdialog, NadjustDialogProc); }, true},
    {cmdequalize, render, nullptr, true, "Equalize (E)", false, key, 'E', Runs::paused, true,
     [](Desktop& d, HWND, UINT) { equalizecommand(d); }, true},
    {cmdlog, render, logmenu, true, "Hit Count Log (C)", false, key, 'C', Runs::pausedcolouringbyhitcount, true,
     [](Desktop& d, HWND, UINT) { logcommand(d, false); }, true},
    {cmdlogsquared, render, logmenu, false, "Hit Count Log Squared (Alt + C)", false, alt, 'C',
     Runs::pausedcolouringbyhitcount, true, [](Desktop& d, HWND, UINT) { logcommand(d, true); }, true},
    {cmdlivetone, render, nullptr, true, "Live Density Tone", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { livetonecommand(d, hWnd); }},
    {cmdtonesettings, render, nullptr, false, "Tone Settings...", false, 0, 0, Runs::always, false,
     [](Desktop& d, HWND hWnd, UINT) { tonesettings(d, hWnd); }, true},
    {cmdquality + 0, render, qualitymenu, false, "Off", true, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { qualitycommand(d, hWnd, id); }},
    {cmdquality + 1, render, qualitymenu, false, "10 Steps per Pixel", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { qualitycommand(d, hWnd, id); }},
    {cmdquality + 2, render, qualitymenu, false, "20 Steps per Pixel", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { qualitycommand(d, hWnd, id); }},
    {cmdquality + 3, render, qualitymenu, false, "50 Steps per Pixel", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { qualitycommand(d, hWnd, id); }},
    {cmdquality + 4, render, qualitymenu, false, "100 Steps per Pixel", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { qualitycommand(d, hWnd, id); }},
    {cmdquality + 5, render, qualitymenu, false, "200 Steps per Pixel", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { qualitycommand(d, hWnd, id); }},
    {cmdhistogram, render, nullptr, true, "Histogram (H)", false, key, 'H', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { histogrammode(d, hWnd); }},
    {cmdtone, render, nullptr, true, "Density Tone (T)", false, key, 'T', Runs::pausedcolouringbyhitcount, true,
     [](Desktop& d, HWND hWnd, UINT) { tonecommand(d, hWnd); }, true},
    {cmddepthtone, render, nullptr, false, "Depth Tone (D)", false, key, 'D', Runs::pausedcolouringbyhitcount, true,
     [](Desktop& d, HWND hWnd, UINT) { depthtonecommand(d, hWnd); }, true},

    {cmdparameters, options, nullptr, true, "Parameters (F3)", false, key, VK_F1 + 2, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { parameters(d, hWnd); }, true},
    {cmdrandom, options, nullptr, false, "Random Parameter Set (F4)", false, key, VK_F1 + 3, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { randomset(d, hWnd); }, true},
    {cmdpreviousset, options, nullptr, false, "Previous Parameter Set (Alt + Left)", false, alt, VK_LEFT, Runs::paused,
     false, [](Desktop& d, HWND hWnd, UINT) { stepthroughhistory(d, hWnd, true); }, true},
    {cmdnextset, options, nullptr, false, "Next Parameter Set (Alt + Right)", false, alt, VK_RIGHT, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { stepthroughhistory(d, hWnd, false); }, true},
    {cmdrotate, options, nullptr, false, "Rotate Image (F5)", false, key, VK_F1 + 4, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { rotation(d, hWnd); }, true},
    {cmdfittoframe, options, nullptr, false, "Fit to Frame", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { fittoframe(d, hWnd); }, true},
    {cmdfitrandom, options, nullptr, false, "Fit Random Sets", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { fitrandomcommand(d, hWnd); }},
    {cmdcoloring, options, nullptr, true, "Coloring Method (F6)", false, key, VK_F1 + 5, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { coloringmethod(d, hWnd); }, true},
    {cmdbackground, options, nullptr, false, "Background Color (F7)", false, key, VK_F1 + 6, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { background(d, hWnd); }, true},
    {cmdpalette, options, nullptr, false, "Palette (F8)", false, key, VK_F1 + 7, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { choosepalettefile(d, hWnd); }, true},
    {cmdpalette1, options, nullptr, false, "Default Palette 1 (F9)", true, key, VK_F1 + 8, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { builtinpalette(d, hWnd, id); }, true},
    {cmdpalette2, options, nullptr, false, "Default Palette 2 (F10)", false, key, VK_F1 + 9, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { builtinpalette(d, hWnd, id); }, true},
    {cmdnamedpalette + 0, options, perceptualmenu, false, "Inferno", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { perceptualpalette(d, hWnd, id); }, true},
    {cmdnamedpalette + 1, options, perceptualmenu, false, "Magma", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { perceptualpalette(d, hWnd, id); }, true},
    {cmdnamedpalette + 2, options, perceptualmenu, false, "Viridis", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { perceptualpalette(d, hWnd, id); }, true},
    {cmdnamedpalette + 3, options, perceptualmenu, false, "Cividis", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { perceptualpalette(d, hWnd, id); }, true},
    {cmdnamedpalette + 4, options, perceptualmenu, false, "Twilight", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { perceptualpalette(d, hWnd, id); }, true},
    {cmdnamedpalette + 5, options, perceptualmenu, false, "Grey", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { perceptualpalette(d, hWnd, id); }, true},
    {cmdnamedpalette + 6, options, perceptualmenu, false, "Fire", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT id) { perceptualpalette(d, hWnd, id); }, true},
    {cmdsavepalette, options, nullptr, false, "Save Palette...", false, 0, 0, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { savepalette(d, hWnd); }},
    {cmdclearscreen, options, nullptr, true, "Clear Screen (F11)", false, key, VK_F1 + 10, Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { clearscreen(d, hWnd); }, true},

    {cmdfitwindow, viewmenu, nullptr, false, "Fit Window (W)", false, key, 'W', Runs::always, false,
     [](Desktop& d, HWND hWnd, UINT) { togglefitwindow(d, hWnd); }},
    {cmdfullscreen, viewmenu, nullptr, false, "Full Screen (Ctrl + F)", false, control, 'F', Runs::always, false,
     [](Desktop&, HWND hWnd, UINT) { togglefullscreen(hWnd); }},

    {cmdhelp, helpmenu, nullptr, false, "Help Topics (F1)", false, key, VK_F1, Runs::paused, false,
     [](Desktop&, HWND, UINT) { help(); }},
    {cmdabout, helpmenu, nullptr, true, "About (F2)", false, key, VK_F1 + 1, Runs::paused, false,
     [](Desktop& d, HWND, UINT) { openaboutwindow(d); }},

    {cmdredo, nullptr, nullptr, false, nullptr, false, controlshift, 'Z', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { undocommand(d, hWnd, true); }},
    {cmddebug, nullptr, nullptr, false, nullptr, false, controlalt, 'D', Runs::paused, false,
     [](Desktop& d, HWND, UINT) { toggledebug(d); }},
    {cmdfdlimit, nullptr, nullptr, false, nullptr, false, controlalt, 'X', Runs::paused, false,
     [](Desktop& d, HWND hWnd, UINT) { opendialog(d, hWnd, fddialog, FDDialogProc); }},
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

void setmenustate(const Desktop& d, HWND hWnd, bool rendering)
{
    HMENU menu = GetMenu(hWnd);
    const bool hitcounts = d.engine.cmethod == 0;
    for (const CommandEntry& entry : commands) {
        if (!entry.popup)
            continue;
        const bool enabled = entry.runs == Runs::always || (!rendering && (entry.runs == Runs::paused || hitcounts));
        EnableMenuItem(menu, entry.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    for (UINT k = 0; k < recentfilecount; ++k)
        EnableMenuItem(menu, cmdrecentfile + k, MF_BYCOMMAND | (rendering ? MF_GRAYED : MF_ENABLED));
    if (!rendering)
        setundostate(d, hWnd);
}

void setundostate(const Desktop& d, HWND hWnd)
{
    if (d.engine.okicon)
        return;
    HMENU menu = GetMenu(hWnd);
    EnableMenuItem(menu, cmdundo, MF_BYCOMMAND | (d.undo.canundo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, cmdredo, MF_BYCOMMAND | (d.undo.canredo() ? MF_ENABLED : MF_GRAYED));
}

void maincommand(Desktop& d, HWND hWnd, UINT id)
{
    // An export under way takes no other command; Esc (Exit) cancels it.
    if (d.exporting) {
        if (id == cmdexit)
            d.exportcancelled = true;
        return;
    }
    const CommandEntry* entry = entryof(id);
    if (d.engine.okicon && !(entry && entry->runs == Runs::always))
        return;
    const bool recent = id >= cmdrecentfile && id < cmdrecentfile + recentfilecount;
    if (!recent && (!entry || (entry->needshitcounts && !hitcountsfit(d))))
        return;
    // What changes the picture changes the render, never a preview of it.
    const bool undoable = recent || entry->undoable;
    if (undoable)
        endpreview(d, hWnd);
    std::optional<PictureSnapshot> before;
    if (undoable)
        before = takesnapshot(d);
    if (recent)
        loadrecent(d, hWnd, id - cmdrecentfile);
    else
        entry->run(d, hWnd, id);
    if (before && !d.shell.closing && !samepicture(*before, d))
        d.undo.record(std::move(*before));
    setundostate(d, hWnd);
}

} // namespace kt
