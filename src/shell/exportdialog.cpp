#include "shell/exportdialog.h"

#include <charconv>
#include <cmath>
#include <string>

#include "shell/desktop.h"

namespace kt {

namespace {

std::string fieldtext(HWND dialog, int id)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    std::string s = text;
    const auto first = s.find_first_not_of(" \t");
    const auto last = s.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

template <typename T>
bool readnumber(const std::string& text, T& value)
{
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void showsettings(HWND dialog, const ExportSettings& e)
{
    SetDlgItemTextA(dialog, widthfield, std::to_string(e.width).c_str());
    SetDlgItemTextA(dialog, heightfield, std::to_string(e.height).c_str());
    char spp[32];
    std::snprintf(spp, sizeof spp, "%g", e.spp);
    SetDlgItemTextA(dialog, sppfield, spp);
    SetDlgItemTextA(dialog, supersamplefield, std::to_string(e.supersample).c_str());
    SetDlgItemTextA(dialog, orbitsfield, std::to_string(e.orbits).c_str());
    CheckRadioButton(dialog, hitbutton, depthbutton,
                     e.tone == Tone::hit ? hitbutton : e.tone == Tone::density ? densitybutton : depthbutton);
    CheckRadioButton(dialog, eightbitbutton, sixteenbitbutton, e.depth == 16 ? sixteenbitbutton : eightbitbutton);
    CheckRadioButton(dialog, colourbutton, transparentbutton, e.transparent ? transparentbutton : colourbutton);
    CheckRadioButton(dialog, shownscalebutton, fitbutton, e.fit ? fitbutton : shownscalebutton);
}

} // namespace

const DialogTemplate exportdialog{
    1000,
    "Export Picture",
    236,
    190,
    {
        {ControlKind::Static, -1, "Width", 10, 10, 70, 8},
        {ControlKind::Edit, widthfield, "", 90, 8, 60, 12},
        {ControlKind::Static, -1, "Height", 10, 26, 70, 8},
        {ControlKind::Edit, heightfield, "", 90, 24, 60, 12},
        {ControlKind::Static, -1, "Steps per pixel", 10, 42, 70, 8},
        {ControlKind::Edit, sppfield, "", 90, 40, 60, 12},
        {ControlKind::Static, -1, "Supersampling", 10, 58, 70, 8},
        {ControlKind::Edit, supersamplefield, "", 90, 56, 60, 12},
        {ControlKind::Static, -1, "Orbits", 10, 74, 70, 8},
        {ControlKind::Edit, orbitsfield, "", 90, 72, 60, 12},
        {ControlKind::Radio, hitbutton, "Hit count", 10, 94, 70, 10, true},
        {ControlKind::Radio, densitybutton, "Density tone", 84, 94, 70, 10},
        {ControlKind::Radio, depthbutton, "Depth tone", 158, 94, 70, 10},
        {ControlKind::Radio, eightbitbutton, "8 bits", 10, 110, 70, 10, true},
        {ControlKind::Radio, sixteenbitbutton, "16 bits", 84, 110, 70, 10},
        {ControlKind::Radio, colourbutton, "Background colour", 10, 126, 90, 10, true},
        {ControlKind::Radio, transparentbutton, "Transparent", 110, 126, 70, 10},
        {ControlKind::Radio, shownscalebutton, "Scale as shown", 10, 142, 90, 10, true},
        {ControlKind::Radio, fitbutton, "Fit to frame", 110, 142, 70, 10},
        {ControlKind::DefButton, IDOK, "OK", 50, 166, 50, 14},
        {ControlKind::Button, IDCANCEL, "Cancel", 136, 166, 50, 14},
    },
};

ExportFields readexportfields(HWND dialog)
{
    ExportSettings e;
    const struct {
        int id;
        const char* name;
        int* value;
    } whole[] = {{widthfield, "Width", &e.width},
                 {heightfield, "Height", &e.height},
                 {supersamplefield, "Supersampling", &e.supersample},
                 {orbitsfield, "Orbits", &e.orbits}};
    for (const auto& field : whole)
        if (!readnumber(fieldtext(dialog, field.id), *field.value))
            return {std::nullopt, std::string(field.name) + " takes a whole number"};
    if (!readnumber(fieldtext(dialog, sppfield), e.spp) || !std::isfinite(e.spp) || e.spp <= 0)
        return {std::nullopt, "Steps per pixel takes a positive number"};
    e.tone = checked(dialog, densitybutton) ? Tone::density : checked(dialog, depthbutton) ? Tone::depth : Tone::hit;
    e.depth = checked(dialog, sixteenbitbutton) ? 16 : 8;
    e.transparent = checked(dialog, transparentbutton);
    e.fit = checked(dialog, fitbutton);
    return {e, {}};
}

INT_PTR ExportDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        keepdialogdesktop(hDlg, lParam);
        showsettings(hDlg, desktopof(hDlg).exportsettings);
        return 1;
    }
    if (message != WM_COMMAND)
        return 0;
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(hDlg, IDCANCEL);
        return 1;
    }
    if (LOWORD(wParam) != IDOK)
        return 0;
    Desktop& d = desktopof(hDlg);
    const ExportFields read = readexportfields(hDlg);
    std::string problem = read.problem;
    if (problem.empty())
        problem = pictureproblem(exportpicture(desktoppicture(d), *read.settings));
    if (!problem.empty()) {
        MessageBoxA(hDlg, ("The picture cannot be exported: " + problem + ".").c_str(), "Export Picture",
                    MB_ICONEXCLAMATION);
        return 1;
    }
    d.exportsettings = *read.settings;
    EndDialog(hDlg, IDOK);
    return 1;
}

} // namespace kt
