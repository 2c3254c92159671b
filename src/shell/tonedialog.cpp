#include "shell/tonedialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "shell/desktop.h"
#include "shell/shownfilter.h"

namespace kt {

namespace {

constexpr int middle = tonepositions / 2;
// Decades of the value a slider's half spans: brightness 0.01 to 100,
// gamma 0.1 to 10.
constexpr double brightnessdecades = 2;
constexpr double gammadecades = 1;

double valueat(int position, double decades)
{
    return std::pow(10.0, decades * (position - middle) / middle);
}

int positionof(double value, double decades)
{
    if (!(value > 0))
        return middle;
    const double position = middle + std::log10(value) * middle / decades;
    return std::clamp(static_cast<int>(std::lround(position)), 0, tonepositions);
}

void showvalue(HWND hDlg, int id, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    SetDlgItemTextA(hDlg, id, text);
}

// What moving the sliders does to this picture, so that nobody moves them
// and waits for a change that cannot come.
void showstatus(HWND hDlg, const Desktop& d)
{
    const char* first = "No density tone is shown now: the settings";
    const char* second = "serve Density Tone (T), the live tone, exports.";
    if (d.engine.cmethod != 0) {
        first = "Coloured by depth (Coloring Method, F6):";
        second = "no density tone to change on this picture.";
    } else if (showstone(d)) {
        first = "The picture's tone follows the sliders;";
        second = "Cancel gives back the picture as it was.";
    }
    SetDlgItemTextA(hDlg, tonestatus, first);
    SetDlgItemTextA(hDlg, tonestatus + 1, second);
}

void setslider(HWND hDlg, int id, int position)
{
    SendDlgItemMessageA(hDlg, id, TBM_SETRANGE, 1, MAKELPARAM(0, tonepositions));
    SendDlgItemMessageA(hDlg, id, TBM_SETPOS, 1, position);
}

} // namespace

const DialogTemplate tonedialog{
    1100,
    "Tone Settings",
    200,
    112,
    {
        {ControlKind::Static, -1, "&Brightness", 8, 10, 40, 8},
        {ControlKind::Trackbar, brightnessslider, "", 50, 6, 112, 16},
        {ControlKind::Static, brightnessvalue, "", 166, 10, 28, 8},
        {ControlKind::Static, -1, "&Gamma", 8, 34, 40, 8},
        {ControlKind::Trackbar, gammaslider, "", 50, 30, 112, 16},
        {ControlKind::Static, gammavalue, "", 166, 34, 28, 8},
        {ControlKind::Static, tonestatus, "", 8, 58, 184, 8},
        {ControlKind::Static, tonestatus + 1, "", 8, 68, 184, 8},
        {ControlKind::DefButton, IDOK, "OK", 46, 88, 50, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 104, 88, 50, 14},
    },
};

INT_PTR ToneDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        keepdialogdesktop(hDlg, lParam);
    Desktop& d = desktopof(hDlg);
    switch (message) {
    case WM_INITDIALOG:
        setslider(hDlg, brightnessslider, positionof(d.tone.brightness, brightnessdecades));
        setslider(hDlg, gammaslider, positionof(d.tone.gamma, gammadecades));
        showvalue(hDlg, brightnessvalue, d.tone.brightness);
        showvalue(hDlg, gammavalue, d.tone.gamma);
        showstatus(hDlg, d);
        return 1;
    case WM_HSCROLL: {
        // The end of a drag reports nothing new.
        if (LOWORD(wParam) == SB_ENDSCROLL)
            return 0;
        const bool brightness = reinterpret_cast<HWND>(lParam) == GetDlgItem(hDlg, brightnessslider);
        if (!brightness && reinterpret_cast<HWND>(lParam) != GetDlgItem(hDlg, gammaslider))
            return 0;
        const int id = brightness ? brightnessslider : gammaslider;
        const int position = static_cast<int>(SendDlgItemMessageA(hDlg, id, TBM_GETPOS, 0, 0));
        double& value = brightness ? d.tone.brightness : d.tone.gamma;
        const double now = valueat(position, brightness ? brightnessdecades : gammadecades);
        if (now == value)
            return 1;
        value = now;
        showvalue(hDlg, brightness ? brightnessvalue : gammavalue, value);
        retone(d);
        return 1;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return 0;
        EndDialog(hDlg, LOWORD(wParam));
        return 1;
    default:
        return 0;
    }
}

} // namespace kt
