#include "shell/colourdialogs.h"

#include <string>

#include "engine/enginestate.h"
#include "shell/desktop.h"

namespace kt {

namespace {

constexpr int hitcountbutton = 410;
constexpr int zplanebutton = 411;
constexpr int componentfields[3] = {310, 311, 312};

int component(HWND hDlg, int id)
{
    const long v = dialoginteger(hDlg, id);
    return v < 0 ? 0 : (v > 255 ? 255 : static_cast<int>(v));
}

void acceptmethod(EngineState& engine, HWND hDlg)
{
    if (SendDlgItemMessageA(hDlg, hitcountbutton, BM_GETCHECK, 0, 0) == BST_CHECKED)
        engine.cmethod = 0;
    else if (SendDlgItemMessageA(hDlg, zplanebutton, BM_GETCHECK, 0, 0) == BST_CHECKED)
        engine.cmethod = 1;
    EndDialog(hDlg, 1);
}

void acceptbackground(EngineState& s, HWND hDlg)
{
    s.red = component(hDlg, componentfields[0]);
    s.green = component(hDlg, componentfields[1]);
    s.blue = component(hDlg, componentfields[2]);
    s.back = RGB(s.red, s.green, s.blue);
    EndDialog(hDlg, 1);
}

} // namespace

const DialogTemplate coloringdialog{
    400,
    "Select the Coloring Method",
    140,
    86,
    {
        {ControlKind::DefButton, IDOK, "OK", 16, 60, 50, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 74, 60, 50, 14},
        {ControlKind::Radio, hitcountbutton, "Hit Count", 50, 17, 140, 12, true},
        {ControlKind::Radio, zplanebutton, "Z Plane", 50, 37, 140, 12},
    },
};

const DialogTemplate backgrounddialog{
    300,
    "Select the Background Color",
    183,
    90,
    {
        {ControlKind::DefButton, IDOK, "OK", 28, 65, 50, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 112, 65, 50, 14},
        {ControlKind::Edit, componentfields[0], "", 72, 6, 90, 12},
        {ControlKind::Edit, componentfields[1], "", 72, 23, 90, 12},
        {ControlKind::Edit, componentfields[2], "", 72, 40, 90, 12},
        {ControlKind::Static, 320, "red ( 0 - 255 )", 8, 8, 60, 8},
        {ControlKind::Static, 321, "green ( 0 - 255 )", 8, 25, 60, 8},
        {ControlKind::Static, 322, "blue ( 0 - 255 )", 8, 42, 60, 8},
    },
};

INT_PTR ColoringMethodDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        keepdialogdesktop(hDlg, lParam);
        CheckRadioButton(hDlg, hitcountbutton, zplanebutton, hitcountbutton + desktopof(hDlg).engine.cmethod);
        return 1;
    }
    return message == WM_COMMAND
        ? okcancelcommand(hDlg, wParam, [](HWND dialog) { acceptmethod(desktopof(dialog).engine, dialog); })
        : 0;
}

INT_PTR BackgroundDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        keepdialogdesktop(hDlg, lParam);
        const EngineState& engine = desktopof(hDlg).engine;
        const int values[3] = {engine.red, engine.green, engine.blue};
        for (int k = 0; k < 3; ++k)
            SetDlgItemTextA(hDlg, componentfields[k], std::to_string(values[k]).c_str());
        return 1;
    }
    return message == WM_COMMAND
        ? okcancelcommand(hDlg, wParam, [](HWND dialog) { acceptbackground(desktopof(dialog).engine, dialog); })
        : 0;
}

} // namespace kt
