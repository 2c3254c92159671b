#include "shell/rotationdialogs.h"

#include <cmath>

#include "analysis/screening.h"
#include "engine/enginestate.h"
#include "shell/desktop.h"
#include "shell/editpreview.h"

namespace kt {

namespace {

constexpr int anglefields[3] = {910, 911, 912};
constexpr int firstorder = 940;
constexpr int lastorder = 945;
constexpr int fdfield = 710;

// Twelve decimals kept of the binary value, in extended precision.
real truncateangle(real angle)
{
    return floorl(angle * static_cast<real>(1e12)) * static_cast<real>(1e-12);
}

void initialiserotation(const EngineState& engine, HWND hDlg)
{
    const VOXEL& angles = engine.rot[engine.type];
    const real values[3] = {angles.x, angles.y, angles.z};
    for (int k = 0; k < 3; ++k)
        showdialogreal(hDlg, anglefields[k], static_cast<double>(values[k]));
    CheckRadioButton(hDlg, firstorder, lastorder, firstorder + engine.rotationorder);
}

// The angles and order the fields give, into `engine`, as OK takes them.
void readrotation(EngineState& engine, HWND hDlg)
{
    VOXEL& angles = engine.rot[engine.type];
    real* values[3] = {&angles.x, &angles.y, &angles.z};
    for (int k = 0; k < 3; ++k)
        *values[k] = dialogreal(hDlg, anglefields[k], 0, 360);
    for (real* value : values)
        *value = truncateangle(*value);
    for (int id = firstorder; id <= lastorder; ++id) {
        if (IsDlgButtonChecked(hDlg, id)) {
            engine.rotationorder = id - firstorder;
            break;
        }
    }
}

void acceptrotation(EngineState& engine, HWND hDlg)
{
    readrotation(engine, hDlg);
    EndDialog(hDlg, 1);
}

// The picture the fields would give, shown over the render as they change.
void previewrotation(Desktop& d, HWND hDlg)
{
    EngineState edited(d.engine);
    readrotation(edited, hDlg);
    showeditpreview(d, edited);
}

void acceptlimit(ScreeningState& screening, HWND hDlg)
{
    screening.FDLimit = dialogreal(hDlg, fdfield, 0.25, 1.75);
    EndDialog(hDlg, 1);
}

} // namespace

const DialogTemplate rotationdialog{
    900,
    "Select Rotation ( 0 - 360 degrees )",
    183,
    140,
    {
        {ControlKind::Static, 920, "X axis", 12, 12, 40, 8},
        {ControlKind::Edit, anglefields[0], "", 60, 10, 110, 12},
        {ControlKind::Static, 921, "Y axis", 12, 30, 40, 8},
        {ControlKind::Edit, anglefields[1], "", 60, 28, 110, 12},
        {ControlKind::Static, 922, "Z axis", 12, 48, 40, 8},
        {ControlKind::Edit, anglefields[2], "", 60, 46, 110, 12},
        {ControlKind::GroupBox, 930, "   Order of Rotation   ", 10, 66, 163, 46},
        {ControlKind::Radio, 940, "XYZ", 25, 80, 40, 10, true},
        {ControlKind::Radio, 941, "XZY", 75, 80, 40, 10},
        {ControlKind::Radio, 942, "YXZ", 125, 80, 40, 10},
        {ControlKind::Radio, 943, "YZX", 25, 95, 40, 10},
        {ControlKind::Radio, 944, "ZXY", 75, 95, 40, 10},
        {ControlKind::Radio, 945, "ZYX", 125, 95, 40, 10},
        {ControlKind::DefButton, IDOK, "OK", 30, 119, 50, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 103, 119, 50, 14},
    },
};

const DialogTemplate fddialog{
    700,
    "Fractal Dimension",
    193,
    90,
    {
        {ControlKind::Static, -1,
         "Random parameter sets with a fractal dimension\n   less than the lower limit will be discarded.", 10, 8, 175,
         20},
        {ControlKind::Static, -1, "lower limit ( 0.25 - 1.75 )", 10, 38, 100, 8},
        {ControlKind::Edit, fdfield, "", 115, 36, 65, 12},
        {ControlKind::DefButton, IDOK, "OK", 35, 66, 50, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 108, 66, 50, 14},
    },
};

INT_PTR RotationDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        keepdialogdesktop(hDlg, lParam);
        initialiserotation(desktopof(hDlg).engine, hDlg);
        return 1;
    }
    if (message != WM_COMMAND)
        return 0;
    if (okcancelcommand(hDlg, wParam, [](HWND dialog) { acceptrotation(desktopof(dialog).engine, dialog); }))
        return 1;
    const int id = LOWORD(wParam);
    const bool angle = HIWORD(wParam) == EN_CHANGE;
    const bool order = HIWORD(wParam) == BN_CLICKED && id >= firstorder && id <= lastorder;
    if (!angle && !order)
        return 0;
    previewrotation(desktopof(hDlg), hDlg);
    return 1;
}

INT_PTR FDDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        keepdialogdesktop(hDlg, lParam);
        showdialogreal(hDlg, fdfield, desktopof(hDlg).screening.FDLimit);
        return 1;
    }
    return message == WM_COMMAND
        ? okcancelcommand(hDlg, wParam, [](HWND dialog) { acceptlimit(desktopof(dialog).screening, dialog); })
        : 0;
}

} // namespace kt
