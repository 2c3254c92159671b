#include "shell/paramdialog.h"

#include <cstdio>
#include <string>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "engine/range.h"
#include "platform/messagebox.h"
#include "shell/desktop.h"
#include "shell/editpreview.h"
#include "shell/screencaption.h"

namespace kt {

namespace {

enum Field { fielda = 620, fieldb, fieldc, fieldd, fielde, fieldn, fieldp, fieldscale, fieldres };
constexpr int formula1button = 650;
constexpr int formula2button = 651;

constexpr int nrange[2][2] = {{2, 25}, {2, 60}};
constexpr int prange[2] = {0, 30};
constexpr int resrange[2] = {200, 4000};

long clampinteger(long v, long low, long high)
{
    return v < low ? low : (v > high ? high : v);
}

void showinteger(HWND hDlg, int id, long v)
{
    SetDlgItemTextA(hDlg, id, std::to_string(v).c_str());
}

void initialise(const EngineState& s, HWND hDlg)
{
    const ICON& set = s.icon[s.type];
    CheckRadioButton(hDlg, formula1button, formula2button, formula1button + s.type);
    const double coefficients[5] = {set.a, set.b, set.c, set.d, set.e};
    for (int k = 0; k < 5; ++k)
        showdialogreal(hDlg, fielda + k, coefficients[k]);
    showinteger(hDlg, fieldn, set.n);
    showinteger(hDlg, fieldp, set.p);
    showdialogreal(hDlg, fieldscale, set.scale);
    showinteger(hDlg, fieldres, s.res);
    EnableWindow(GetDlgItem(hDlg, fieldp), s.type == 1);
}

bool coefficientschanged(const ICON& t, const ICON& stored)
{
    return t.a != stored.a || t.b != stored.b || t.c != stored.c || t.d != stored.d || t.e != stored.e ||
        t.n != stored.n || t.p != stored.p;
}

// Returns false when the set is refused and the dialog stays open.
bool acceptscreened(const ScreeningState& screening, int result)
{
    if (result == screenescape) {
        MessageBoxA(nullptr, "This combination of parameters\n     is unstable;\n\nPlease try another set.",
                    "Parameter Error", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    char text[512];
    int length = std::snprintf(text, sizeof text, "Lyapunov exponent: %.6f", screening.LExp);
    if (result == screenlowdimension)
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                "\n\nfractal dimension: %.6f", screening.FD);
    std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                  "\n\nThe attractor may not be chaotic\n   enough to produce an appealing\n   image.");
    MessageBoxA(nullptr, text, "KT Dravune", MB_OK | MB_ICONINFORMATION);
    return true;
}

// The set the fields give, read and kept in range as OK takes it.
ICON fieldset(const EngineState& s, HWND hDlg)
{
    const int t0 = s.type;
    ICON t = s.icon[t0];
    double* coefficients[5] = {&t.a, &t.b, &t.c, &t.d, &t.e};
    for (int k = 0; k < 5; ++k) {
        *coefficients[k] = dialogreal(hDlg, fielda + k);
        limits(coefficients[k]);
    }
    t.n = static_cast<int>(clampinteger(dialoginteger(hDlg, fieldn), nrange[t0][0], nrange[t0][1]));
    if (t0 == 1)
        t.p = static_cast<int>(clampinteger(dialoginteger(hDlg, fieldp), prange[0], prange[1]));
    t.scale = dialogreal(hDlg, fieldscale, scalerange[t0][0], scalerange[t0][1]);
    return t;
}

// The picture the fields would give, shown over the render as they change
// (at the picture's present side: a new side takes a new render), and why
// the set fails the chaos screen. The screen's measures go to a copy: the
// dialog's own state is what OK leaves.
void preview(Desktop& d, HWND hDlg)
{
    EngineState edited(d.engine);
    const ICON set = fieldset(d.engine, hDlg);
    edited.icon[edited.type] = set;
    std::string caption;
    if (!coefficientschanged(set, d.engine.icon[d.engine.type])) {
        // OK stores an unchanged set without asking the screen.
    } else if (!quicktoscreen(set, edited.type)) {
        caption = unscreenedcaption;
    } else {
        ScreeningState measures;
        measures.FDLimit = d.screening.FDLimit;
        caption = refusalcaption(testrp(set, edited.type, measures), measures);
    }
    showeditpreview(d, edited, caption);
}

void ok(Desktop& d, HWND hDlg)
{
    EngineState& s = d.engine;
    const int t0 = s.type;
    const ICON t = fieldset(s, hDlg);
    s.res = static_cast<int>(clampinteger(dialoginteger(hDlg, fieldres), resrange[0], resrange[1]));

    const int result = testrp(t, t0, d.screening);
    if (result != screenpass && coefficientschanged(t, s.icon[t0]) && !acceptscreened(d.screening, result))
        return;
    if (d.search.debugflag) {
        char text[128];
        std::snprintf(text, sizeof text, "Lyapunov exponent: %.15f\nfractal dimension: %.15f", d.screening.LExp,
                      d.screening.FD);
        MessageBoxA(nullptr, text, "KT Dravune 3D", MB_OK | MB_ICONINFORMATION);
    }
    s.icon[t0] = t;
    EndDialog(hDlg, 1);
}

void cancel(Desktop& d, HWND hDlg)
{
    EngineState& s = d.engine;
    s.type = d.paramsaves.savetype;
    s.icon[s.type] = d.paramsaves.saveicon;
    s.res = s.saveres;
    EndDialog(hDlg, 2);
}

} // namespace

const DialogTemplate paramdialog{
    600,
    "                  Dravune 3D Parameters",
    298,
    170,
    {
        {ControlKind::Static, 630, "alpha", 10, 12, 35, 8},
        {ControlKind::Edit, fielda, "", 50, 10, 110, 12},
        {ControlKind::Static, 631, "beta", 10, 30, 35, 8},
        {ControlKind::Edit, fieldb, "", 50, 28, 110, 12},
        {ControlKind::Static, 632, "gamma", 10, 48, 35, 8},
        {ControlKind::Edit, fieldc, "", 50, 46, 110, 12},
        {ControlKind::Static, 633, "lambda", 10, 66, 35, 8},
        {ControlKind::Edit, fieldd, "", 50, 64, 110, 12},
        {ControlKind::Static, 634, "omega", 10, 84, 35, 8},
        {ControlKind::Edit, fielde, "", 50, 82, 110, 12},
        {ControlKind::Static, 635, "n", 10, 102, 35, 8},
        {ControlKind::Edit, fieldn, "", 50, 100, 110, 12},
        {ControlKind::Static, 636, "p", 10, 120, 35, 8},
        {ControlKind::Edit, fieldp, "", 50, 118, 110, 12},
        {ControlKind::GroupBox, 640, "   Image Type   ", 172, 4, 120, 44},
        {ControlKind::Radio, formula1button, "Icons, Formula 1", 182, 17, 100, 10, true},
        {ControlKind::Radio, formula2button, "Icons, Formula 2", 182, 31, 100, 10},
        {ControlKind::GroupBox, 670, "   scale   ", 172, 54, 120, 32},
        {ControlKind::Edit, fieldscale, "", 182, 67, 100, 12},
        {ControlKind::GroupBox, 660, "   Image Size ( 200 - 4000 pixels )   ", 172, 92, 120, 32},
        {ControlKind::Edit, fieldres, "", 182, 105, 100, 12},
        {ControlKind::DefButton, IDOK, "OK", 30, 145, 50, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 100, 145, 50, 14},
    },
};

INT_PTR ParamDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        keepdialogdesktop(hDlg, lParam);
    Desktop& d = desktopof(hDlg);
    switch (message) {
    case WM_INITDIALOG:
        initialise(d.engine, hDlg);
        return 1;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE) {
            if (LOWORD(wParam) != fieldres)
                preview(d, hDlg);
            return 1;
        }
        switch (LOWORD(wParam)) {
        case formula1button:
        case formula2button:
            d.engine.type = IsDlgButtonChecked(hDlg, formula1button) ? 0 : 1;
            initialise(d.engine, hDlg);
            preview(d, hDlg);
            return 1;
        case IDOK:
            ok(d, hDlg);
            return 1;
        case IDCANCEL:
            cancel(d, hDlg);
            return 1;
        default:
            return 0;
        }
    default:
        return 0;
    }
}

} // namespace kt
