#pragma once
// The desktop program's state in one object. Its start-up makes it and the
// main window keeps it in its data, so that every window and dialog
// procedure, handed nothing but a window and a message, finds it there; what
// they call takes the parts it uses.
#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "engine/rendercontext.h"
#include "image/filters.h"
#include "image/palettes.h"
#include "image/tonemap.h"
#include "platform/window.h"
#include "shell/desktoppicture.h"
#include "shell/desktoppresentation.h"
#include "shell/filedialogs.h"
#include "shell/histogramwindow.h"
#include "shell/livetone.h"
#include "shell/paramdialog.h"
#include "shell/shownfilter.h"
#include "shell/shellstate.h"
#include "shell/undo.h"

namespace kt {

// Every part starts value-initialised, as the program starts it.
struct Desktop {
    Desktop() = default;
    // The file dialogs and the presentation point into the object.
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    ~Desktop();

    EngineState engine{};
    FileNames filenames{};
    // The filter settings and the palette-index counts of the last filter.
    FilterState filters{};
    PaletteCounts hist256{};
    // The palette read last, shown in the preview before it may become current.
    Palette paltemp{};
    SearchState search{};
    ScreeningState screening{};
    ShellState shell{};
    FileDialogs filedialogs{};
    ParamDialogSaves paramsaves{};
    HistogramChart chart{};
    // The palette's name as the picture model gives it: a built-in's, or
    // the .map file it was read from.
    std::string palettename = "1";
    ExportSettings exportsettings{};
    UndoHistory undo{};
    LiveTone livetone{};
    // The density tone's brightness and gamma, for the live tone, the tone
    // filters and exports alike; the window's picture is always opaque.
    ToneSettings tone{};
    // What the paused picture was last filtered with; none once rendering
    // draws over it.
    ShownFilter shownfilter = ShownFilter::none;
    // Rendering stops by itself at this many steps per pixel; 0: never.
    int quality = 0;
    // A random set found is fitted to the frame, as the gallery fits its
    // entries; else it keeps its own scale.
    bool fitrandom = false;
    // While an export renders, the window takes no command but its cancel.
    bool exporting = false;
    bool exportcancelled = false;
    DesktopPresentation presentation{*this};
    // What the desktop renders, filters, searches and saves with: its
    // presentation, on every processor.
    RenderContext context{presentation};
};

// The desktop a window works on: the one it keeps, or else its owner's (a
// dialog's control has its dialog's).
Desktop& desktopof(HWND hwnd);
// Keeps the desktop a window of the program was created with, from the
// record WM_CREATE's lParam points to.
void keepcreationdesktop(HWND hwnd, LPARAM creation);
// Keeps the desktop a dialog was opened with, WM_INITDIALOG's lParam.
void keepdialogdesktop(HWND dialog, LPARAM param);
// What a dialog of the desktop is opened with, for keepdialogdesktop.
LPARAM dialogparam(Desktop& d);

} // namespace kt
