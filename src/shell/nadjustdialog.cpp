#include "shell/nadjustdialog.h"

#include "image/filters.h"
#include "shell/desktop.h"
#include "shell/shownfilter.h"

namespace kt {

namespace {

// A normalized picture shows each position of the slider as it is reached,
// from its hit counts. Without the histogram: a window for every step would
// bury the picture, and the next Normalize shows it.
void shownormalized(Desktop& d, int nadjust)
{
    if (d.shownfilter != ShownFilter::normalize)
        return;
    FilterState settings = d.filters;
    settings.nadjust = nadjust;
    settings.histogramflag = 0;
    applyfilter(d, ShownFilter::normalize, settings);
}

} // namespace

const DialogTemplate nadjustdialog{
    800,
    "Normalization Adjustment",
    148,
    72,
    {
        {ControlKind::Trackbar, nadjustslider, "", 16, 6, 114, 16},
        {ControlKind::DefButton, IDOK, "OK", 55, 51, 35, 14},
        {ControlKind::Static, -1, "0", 20, 26, 20, 8},
        {ControlKind::Static, -1, "5", 71, 26, 16, 8},
        {ControlKind::Static, -1, "10", 117, 26, 16, 8},
        {ControlKind::Static, -1, "partial", 12, 38, 20, 8},
        {ControlKind::Static, -1, "complete", 105, 38, 30, 8},
    },
    false, // no system menu
};

INT_PTR NadjustDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        keepdialogdesktop(hDlg, lParam);
    Desktop& d = desktopof(hDlg);
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(hDlg, nadjustslider, TBM_SETRANGE, 1, MAKELPARAM(0, 10));
        SendDlgItemMessageA(hDlg, nadjustslider, TBM_SETPOS, 1, d.filters.trackpos);
        return 1;
    case WM_HSCROLL:
        // The slider's position is taken as it moves; the end of a drag
        // reports nothing new.
        if (reinterpret_cast<HWND>(lParam) != GetDlgItem(hDlg, nadjustslider) || LOWORD(wParam) == SB_ENDSCROLL)
            return 0;
        d.filters.trackpos = static_cast<int>(SendDlgItemMessageA(hDlg, nadjustslider, TBM_GETPOS, 0, 0));
        shownormalized(d, d.filters.trackpos);
        return 1;
    case WM_COMMAND:
        // OK is the only way out: Escape's Cancel is ignored, so that the
        // adjustment is always confirmed.
        if (LOWORD(wParam) != IDOK)
            return 0;
        d.filters.nadjust = d.filters.trackpos;
        EndDialog(hDlg, 1);
        return 1;
    default:
        return 0;
    }
}

} // namespace kt
